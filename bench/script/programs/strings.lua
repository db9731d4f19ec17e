local total = 0
for k = 0, 59999 do
  local s = ""
  for j = 0, 39 do
    s = s .. "ab"
  end
  if s == "abababababababababababababababababababababababababababababababababababababababab" then total = total + 1 end
end
print(total)
