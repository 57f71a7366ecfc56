-- Closures: counters kept alive in their defining call and bumped through
-- upvalues, and functions handed to small map/filter/fold helpers.
local N = 120000

local function make_counter(step)
  local count = 0
  return function()
    count = count + step
    return count
  end
end

local function make_scaler(k)
  return function(x) return x * k + 1 end
end

local function map_list(f, xs)
  local out = {}
  for i = 1, #xs do
    out[i] = f(xs[i])
  end
  return out
end

local function keep(pred, xs)
  local out = {}
  for _, x in ipairs(xs) do
    if pred(x) then
      out[#out + 1] = x
    end
  end
  return out
end

local function fold(f, acc, xs)
  for _, x in ipairs(xs) do
    acc = f(acc, x)
  end
  return acc
end

local function main()
  local counters = {}
  for i = 0, 4 do
    counters[i + 1] = make_counter(i + 1)
  end
  local base = {}
  for i = 0, 49 do
    base[i + 1] = i
  end
  local total = 0
  for r = 0, N - 1 do
    local scale = make_scaler(r % 7 + 1)
    local ys = map_list(scale, base)
    local odd = keep(function(v) return v % 2 == 1 end, ys)
    total = (total + fold(function(a, b) return a + b end, 0, odd)) % 1000000007
    local c = counters[r % 5 + 1]
    total = total + c()
  end
  local last = {}
  for i, c in ipairs(counters) do
    last[i] = c()
  end
  print("closures " .. total .. " " .. table.concat(last, ","))
end

main()
