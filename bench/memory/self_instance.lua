local N = 1000000
local i = 0
local total = 0
while i < N do
  local x = {k = i}
  x.me = x
  total = total + x.me.k % 7
  i = i + 1
end
print(total)
