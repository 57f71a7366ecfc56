-- Higher-order functions: map, filter, reduce and compose written with
-- anonymous functions and closures, pipelines kept in tables of functions,
-- partial application, and a memoizing wrapper around a recursive function.
local N = 16000

local function map_list(f, xs)
  local result = {}
  for _, x in ipairs(xs) do
    result[#result + 1] = f(x)
  end
  return result
end

local function filter_list(pred, xs)
  local result = {}
  for _, x in ipairs(xs) do
    if pred(x) then
      result[#result + 1] = x
    end
  end
  return result
end

local function reduce_list(f, xs, acc)
  for _, x in ipairs(xs) do
    acc = f(acc, x)
  end
  return acc
end

local function compose(f, g)
  return function(x) return f(g(x)) end
end

local function pipeline(fs)
  return reduce_list(compose, fs, function(x) return x end)
end

local function partial(f, a)
  return function(b) return f(a, b) end
end

local function count_if(pred, xs)
  return reduce_list(function(n, x) return n + (pred(x) and 1 or 0) end, xs, 0)
end

-- The wrapped function receives the memoized one, so its recursive calls hit the cache.
local function memoize(f)
  local cache = {}
  local function lookup(n)
    local v = cache[n]
    if v ~= nil then
      return v
    end
    v = f(lookup, n)
    cache[n] = v
    return v
  end
  return lookup
end

local function main()
  local plus = function(a, b) return a + b end
  local times = function(a, b) return a * b end
  local xs = {}
  for i = 0, 99 do
    xs[#xs + 1] = i
  end
  local total = 0
  local evens = 0
  local ways = 0
  for r = 0, N - 1 do
    local steps = {partial(plus, r % 13), partial(times, 3), function(x) return x % 1009 end,
                   partial(plus, 7)}
    local f = pipeline(steps)
    local ys = map_list(f, xs)
    local odd = filter_list(function(y) return y % 2 == 1 end, ys)
    total = (total + reduce_list(plus, odd, 0)
             + reduce_list(function(m, y) return m * 31 % 65521 + y end, ys, 1)) % 1000000007
    evens = evens + count_if(function(y) return y % 2 == 0 end, ys)
    local m = 1000 + r
    local paths = memoize(function(self, n)
      if n < 2 then
        return 1
      end
      return (self(n - 1) + self(n - 2) + self(n // 3)) % m
    end)
    ways = ways + paths(30 + r % 20)
  end
  print("higher_order " .. total .. " " .. evens .. " " .. ways)
end

main()
