local N = 1000000
local Pair = {}
Pair.__index = Pair
function Pair.new(a, b) return setmetatable({a = a, b = b}, Pair) end
local i = 0
local total = 0
while i < N do
  local xs = {i, i + 1, i + 2}
  local p = Pair.new(xs, i)
  total = total + #p.a + p.b % 7
  i = i + 1
end
print(total)
