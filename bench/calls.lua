-- Calls and returns: tak-style triple recursion plus a shallow two-argument
-- Ackermann, so nearly all time goes to entering and leaving functions.
local N = 150

local function tak(x, y, z)
  if y < x then
    return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y))
  end
  return z
end

local function ack(m, n)
  if m == 0 then
    return n + 1
  end
  if n == 0 then
    return ack(m - 1, 1)
  end
  return ack(m - 1, ack(m, n - 1))
end

local function main()
  local total = 0
  for r = 0, N - 1 do
    total = total + tak(18 + r % 2, 12, 6)
    total = total + ack(2, 40 + r % 10)
  end
  print("calls " .. total)
end

main()
