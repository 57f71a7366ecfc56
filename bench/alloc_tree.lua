-- Allocation-heavy recursion: complete binary trees of objects are built,
-- walked and dropped, many times over.
local N = 17

local Node = {}
Node.__index = Node

function Node.new(left, right, val)
  return setmetatable({left = left, right = right, val = val}, Node)
end

local function build(depth, v)
  if depth == 0 then
    return Node.new(nil, nil, v)
  end
  return Node.new(build(depth - 1, 2 * v), build(depth - 1, 2 * v + 1), v)
end

local function check(n)
  if n.left == nil then
    return n.val % 7
  end
  return n.val % 7 + check(n.left) - check(n.right)
end

local function count(n)
  if n.left == nil then
    return 1
  end
  return 1 + count(n.left) + count(n.right)
end

local function main()
  local long_lived = build(N, 1)
  local total = 0
  local d = 4
  while d <= N do
    local iters = 1
    for _ = 1, N - d do
      iters = iters * 2
    end
    for i = 0, iters - 1 do
      local t = build(d, i)
      total = total + check(t) + count(t)
    end
    d = d + 2
  end
  print("alloc_tree " .. total .. " " .. count(long_lived) .. " " .. check(long_lived))
end

main()
