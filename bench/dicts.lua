-- Tables as dicts: word counts built by insert and lookup, then walks over
-- the keys and values, membership tests and removal of rare words.
local N = 5000000

local function size(t)
  local n = 0
  for _ in pairs(t) do
    n = n + 1
  end
  return n
end

local function main()
  local counts = {}
  local seed = 12345
  for _ = 1, N do
    seed = (seed * 1103515245 + 12345) % 2147483648
    local w = "w" .. seed % 1500
    if counts[w] ~= nil then
      counts[w] = counts[w] + 1
    else
      counts[w] = 1
    end
  end
  local distinct = size(counts)
  local rare = {}
  for k, v in pairs(counts) do
    if v < N // 1500 then
      rare[#rare + 1] = k
    end
  end
  for _, k in ipairs(rare) do
    counts[k] = nil
  end
  local total = 0
  for _, v in pairs(counts) do
    total = total + v
  end
  local keylen = 0
  for k in pairs(counts) do
    keylen = keylen + #k
  end
  print("dicts " .. distinct .. " " .. #rare .. " " .. size(counts) .. " " .. total .. " " .. keylen)
end

main()
