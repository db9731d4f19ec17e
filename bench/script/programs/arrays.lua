local sum = 0
local a = {}
for r = 0, 99 do
  for i = 0, 29999 do
    a[i + 1] = i + r
  end
  for i = 0, 29999 do
    sum = sum + a[i + 1]
  end
end
print(string.format("%d", sum))
