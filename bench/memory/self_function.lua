local N = 1000000
local function make(k)
  local again
  again = function() return again end
  return again
end
local i = 0
local count = 0
while i < N do
  local f = make(i)
  if f() == f then count = count + 1 end
  i = i + 1
end
print(count)
