local cell = {}
for y = 0, 63 do
  cell[y] = {}
  for x = 0, 63 do
    cell[y][x] = ((x * 7 + y * 13) % 5 == 0) and 1 or 0
  end
end
local live = 0
for _ = 1, 400 do
  local y = 1
  while y < 63 do
    local x = 1
    repeat
      cell[y][x] = (cell[y - 1][x] + cell[y + 1][x] + cell[y][x - 1] + cell[y][x + 1]) % 2
      live = live + cell[y][x]
      x = x + 1
    until x >= 63
    y = y + 1
  end
end
print(string.format("%d", live))
