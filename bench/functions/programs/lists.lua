-- List add and sort: 30000 pseudo-random reals, sorted, then summed by position.
local l = {}
local v = 12345
for k = 0, 29999 do
  v = (v * 1103 + 12345) % 65536
  l[#l + 1] = v
end
table.sort(l)
local total = 0
for k = 0, 29999, 100 do total = total + l[k + 1] end
print(total)
