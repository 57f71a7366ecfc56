-- Recursive puzzles: Takeuchi's function, Ackermann's function with m = 3,
-- the towers of Hanoi counted move by move, and the number of ways to write
-- a number as a sum of smaller parts.
local N = 22

local function tak(x, y, z)
  if y >= x then
    return z
  end
  return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y))
end

local function ackermann(m, n)
  if m == 0 then
    return n + 1
  end
  if n == 0 then
    return ackermann(m - 1, 1)
  end
  return ackermann(m - 1, ackermann(m, n - 1))
end

-- Pegs are numbered from 0; moves holds the disks on each, indexed from 1.
local function hanoi(n, source, target, spare, moves)
  if n == 0 then
    return
  end
  hanoi(n - 1, source, spare, target, moves)
  moves[target + 1] = moves[target + 1] + 1
  moves[source + 1] = moves[source + 1] - 1
  hanoi(n - 1, spare, target, source, moves)
end

local function partitions(n, largest)
  if n == 0 then
    return 1
  end
  if n < 0 or largest == 0 then
    return 0
  end
  return partitions(n - largest, largest) + partitions(n, largest - 1)
end

local function main()
  local total = 0
  for r = 0, N - 1 do
    total = total + tak(18 + r % 3, 12, 6)
    total = total + ackermann(3, 5 + r % 2)
    local moves = {14 + r % 3, 0, 0}
    hanoi(moves[1], 0, 2, 1, moves)
    total = total + moves[3] * 100 + moves[1]
    total = total + partitions(40 + r % 5, 40 + r % 5)
  end
  print("recursion " .. total)
end

main()
