local N = 1000000
local function make(k)
  local d = {k = k}
  d.get = function() return d.k end
  return d
end
local i = 0
local total = 0
while i < N do
  local d = make(i)
  total = total + d.get() % 7
  i = i + 1
end
print(total)
