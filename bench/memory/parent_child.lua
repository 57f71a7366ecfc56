local N = 1000000
local function Node(parent)
  local n = {parent = parent, kids = {}}
  if parent ~= nil then table.insert(parent.kids, n) end
  return n
end
local i = 0
local total = 0
while i < N do
  local root = Node(nil)
  local leaf = Node(root)
  total = total + #leaf.parent.kids
  i = i + 1
end
print(total)
