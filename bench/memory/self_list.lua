local N = 1000000
local i = 0
local total = 0
while i < N do
  local xs = {i}
  xs[2] = xs
  total = total + #xs[2]
  i = i + 1
end
print(total)
