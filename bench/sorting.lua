-- Sorting written in the language: a top-down merge sort of numbers and of
-- words, and an insertion sort of records by a comparison function, all over
-- tables the program builds from a pseudo-random sequence.
local N = 300000

local function next_seed(seed)
  return (seed * 1103515245 + 12345) % 2147483648
end

-- Sorts xs[lo..hi-1] (1-based, hi exclusive) through the buffer tmp.
local function merge_sort(xs, lo, hi, tmp)
  if hi - lo < 2 then
    return
  end
  local mid = (lo + hi) // 2
  merge_sort(xs, lo, mid, tmp)
  merge_sort(xs, mid, hi, tmp)
  local i, j, k = lo, mid, lo
  while i < mid and j < hi do
    if xs[j] < xs[i] then
      tmp[k] = xs[j]
      j = j + 1
    else
      tmp[k] = xs[i]
      i = i + 1
    end
    k = k + 1
  end
  while i < mid do
    tmp[k] = xs[i]
    i = i + 1
    k = k + 1
  end
  while j < hi do
    tmp[k] = xs[j]
    j = j + 1
    k = k + 1
  end
  for m = lo, hi - 1 do
    xs[m] = tmp[m]
  end
end

local function sort(xs)
  local tmp = {}
  for i = 1, #xs do
    tmp[i] = 0
  end
  merge_sort(xs, 1, #xs + 1, tmp)
  return xs
end

local function insertion_sort_by(xs, before)
  for i = 2, #xs do
    local v = xs[i]
    local j = i - 1
    while j >= 1 and before(v, xs[j]) do
      xs[j + 1] = xs[j]
      j = j - 1
    end
    xs[j + 1] = v
  end
end

local function make_word(seed)
  local letters = "etaoinshrdlucmfw"
  local w = ""
  for _ = 1, 2 + seed % 5 do
    seed = seed // 7
    local k = seed % 16 + 1
    w = w .. letters:sub(k, k)
  end
  return w
end

local function main()
  local seed = 42
  local xs = {}
  for _ = 1, N do
    seed = next_seed(seed)
    xs[#xs + 1] = seed % 1000000
  end
  sort(xs)
  local check = 0
  for i = 1, #xs do
    check = (check * 31 + xs[i]) % 1000000007
  end
  local words = {}
  for _ = 1, N // 3 do
    seed = next_seed(seed)
    words[#words + 1] = make_word(seed // 16)
  end
  sort(words)
  local distinct = 1
  for i = 2, #words do
    if words[i] ~= words[i - 1] then
      distinct = distinct + 1
    end
  end
  local by_score = function(a, b)
    return a[1] > b[1] or (a[1] == b[1] and a[2] < b[2])
  end
  local ranked = 0
  for _ = 1, N // 300 do
    local records = {}
    for _ = 1, 40 do
      seed = next_seed(seed)
      records[#records + 1] = {seed % 50, "p" .. seed // 50 % 1000}
    end
    insertion_sort_by(records, by_score)
    local best = records[1]
    ranked = (ranked + best[1] * 1000 + tonumber(best[2]:sub(2))) % 1000000007
  end
  print("sorting " .. xs[1] .. " " .. xs[N // 2 + 1] .. " " .. xs[N] .. " " .. check)
  print("words " .. #words .. " " .. distinct .. " " .. words[1] .. " " .. words[#words])
  print("records " .. ranked)
end

main()
