local N = 1000000
local function make(k)
  local Box = {}
  Box.__index = Box
  function Box.new(v) return setmetatable({v = v}, Box) end
  function Box:get() return self.v end
  return Box.new(k)
end
local i = 0
local total = 0
while i < N do
  local b = make(i)
  total = total + b:get() % 7
  i = i + 1
end
print(total)
