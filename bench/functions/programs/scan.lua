-- String building and scanning: build a 20000-character text, then walk it
-- character by character and search it.
local s = ""
for k = 0, 1999 do s = s .. "abcdefghi," end
local n = #s
local count = 0
for k = 1, n do if string.sub(s, k, k) == "," then count = count + 1 end end
for k = 0, 199 do count = count + (string.find(s, "ghi,abc", 1, true) or 0) end
print(count)
