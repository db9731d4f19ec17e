acc = 0
for i = 0, 1999 do
  for j = 0, 1999 do
    local t = i * j
    acc = acc + math.fmod(t, 3)
  end
end
print(string.format("%d", acc))
