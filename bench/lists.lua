-- Tables as lists: filling loops, appends and removals at the end, index
-- reads and writes, and an in-place insertion sort plus a stack drain.
local N = 7000

local function insertion_sort(xs)
  for i = 2, #xs do
    local v = xs[i]
    local j = i - 1
    while j >= 1 and xs[j] > v do
      xs[j + 1] = xs[j]
      j = j - 1
    end
    xs[j + 1] = v
  end
end

local function main()
  local xs = {}
  for i = 0, N - 1 do
    xs[#xs + 1] = (i * 7919 + 13) % 10007
  end
  insertion_sort(xs)
  local ordered = 0
  for i = 2, #xs do
    if xs[i - 1] <= xs[i] then
      ordered = ordered + 1
    end
  end
  local evens = {}
  for _, x in ipairs(xs) do
    if x % 2 == 0 then
      evens[#evens + 1] = x // 2
    end
  end
  local stack = {}
  local total = 0
  for round = 0, 39 do
    for _, x in ipairs(evens) do
      stack[#stack + 1] = x + round
    end
    while #stack > 0 do
      total = total + table.remove(stack) % 97
    end
  end
  print("lists " .. ordered .. " " .. #evens .. " " .. xs[1] .. " " .. xs[N] .. " " .. total)
end

main()
