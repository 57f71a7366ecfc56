-- A sieve of primes: the sieve of Eratosthenes over a table of flags, then
-- the primes collected into a table, twin primes and the largest gap between
-- neighbours, and Goldbach pairs counted for the even numbers up to a bound.
local N = 800000

local function sieve(limit)
  local is_prime = {}
  for i = 0, limit do
    is_prime[i] = true
  end
  is_prime[0] = false
  is_prime[1] = false
  for p = 2, limit do
    if p * p > limit then
      break
    end
    if is_prime[p] then
      for m = p * p, limit, p do
        is_prime[m] = false
      end
    end
  end
  return is_prime
end

local function main()
  local is_prime = sieve(N)
  local primes = {}
  for p = 0, N do
    if is_prime[p] then
      primes[#primes + 1] = p
    end
  end
  local twins = 0
  local gap = 0
  local total = 0
  for i = 2, #primes do
    local d = primes[i] - primes[i - 1]
    if d == 2 then
      twins = twins + 1
    end
    if d > gap then
      gap = d
    end
  end
  for _, p in ipairs(primes) do
    total = (total + p) % 1000000007
  end
  local goldbach = 0
  for n = 4, N // 20 - 1, 2 do
    for _, p in ipairs(primes) do
      if p > n // 2 then
        break
      end
      if is_prime[n - p] then
        goldbach = goldbach + 1
      end
    end
  end
  print("sieve " .. #primes .. " " .. primes[#primes] .. " " .. twins .. " " .. gap .. " "
        .. total .. " " .. goldbach)
end

main()
