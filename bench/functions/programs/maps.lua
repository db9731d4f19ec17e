-- Map insert and lookup: 20000 keys, each looked up five times.
local m = {}
for k = 0, 19999 do m["key" .. tostring(k)] = k end
local total = 0
for r = 0, 4 do
  for k = 0, 19999 do total = total + m["key" .. tostring(k)] end
end
print(total)
