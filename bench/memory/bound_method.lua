local N = 1000000
local Task = {}
Task.__index = Task
function Task.new(k)
  local t = setmetatable({k = k}, Task)
  t.callback = function() return t:run() end
  return t
end
function Task:run() return self.k end
local i = 0
local total = 0
while i < N do
  local t = Task.new(i)
  total = total + t.callback() % 7
  i = i + 1
end
print(total)
