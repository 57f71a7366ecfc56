-- Loops and integer arithmetic: a sieve over a table of flags, then digit
-- sums and a mixing hash computed with while loops and // and %.
local N = 1500000

local function sieve(limit)
  local flags = {}
  for i = 0, limit do
    flags[i] = true
  end
  flags[0] = false
  flags[1] = false
  local p = 2
  while p * p <= limit do
    if flags[p] then
      local m = p * p
      while m <= limit do
        flags[m] = false
        m = m + p
      end
    end
    p = p + 1
  end
  local count = 0
  for i = 0, limit do
    if flags[i] then
      count = count + 1
    end
  end
  return count
end

local function digit_sum(n)
  local s = 0
  while n > 0 do
    s = s + n % 10
    n = n // 10
  end
  return s
end

local function main()
  local primes = sieve(N)
  local ds = 0
  local h = 7
  local i = 0
  while i < N do
    ds = ds + digit_sum(i * 37 + 11)
    h = (h * 31 + i) % 1000000007
    i = i + 1
  end
  print("int_loop " .. primes .. " " .. ds .. " " .. h)
end

main()
