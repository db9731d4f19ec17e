local function clamp3(v, lo, hi)
  if v < lo then return lo end
  if v > hi then return hi end
  return v
end
local s = 0
for i = 0, 999999 do
  s = s + clamp3(i % 100, 10, 90)
end
print(string.format("%d", s))
