local s = 0
for i = 0, 9999999 do
  s = s + i * 2 - math.fmod(i, 7) + i / 4
end
print(string.format("%d", s))
