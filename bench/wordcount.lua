-- Text processing: a text of generated sentences is built with table.concat,
-- cut back into lines and words, and its words, letters and word pairs are
-- counted in tables; the most frequent words are picked by hand.
local N = 100000

local function next_seed(seed)
  return (seed * 1103515245 + 12345) % 2147483648
end

local function split(s, sep)
  local parts = {}
  local start = 1
  while true do
    local i, j = string.find(s, sep, start, true)
    if not i then
      parts[#parts + 1] = string.sub(s, start)
      return parts
    end
    parts[#parts + 1] = string.sub(s, start, i - 1)
    start = j + 1
  end
end

local function size(t)
  local n = 0
  for _ in pairs(t) do
    n = n + 1
  end
  return n
end

local function make_vocabulary(count)
  local starts = {"qu", "br", "st", "l", "m", "p", "tr", "s", "c", "d", "gr", "h"}
  local middles = {"a", "e", "i", "o", "u", "ea", "ou", "ai"}
  local ends = {"n", "ll", "ss", "t", "rk", "nd", "ve", "", "ng", "r"}
  local vocabulary = {}
  for i = 0, count - 1 do
    local word = starts[i % 12 + 1] .. middles[i // 12 % 8 + 1] .. ends[i // 96 % 10 + 1]
    if i >= 960 then
      word = word .. middles[i % 8 + 1] .. ends[i % 10 + 1]
    end
    vocabulary[#vocabulary + 1] = word
  end
  return vocabulary
end

local function make_text(lines, vocabulary)
  local seed = 2024
  local out_lines = {}
  for _ = 1, lines do
    local words = {}
    seed = next_seed(seed)
    for _ = 1, 6 + seed % 9 do
      seed = next_seed(seed)
      -- Squaring skews the choice toward the front of the vocabulary, as in real text.
      local r = seed % 1000
      local w = vocabulary[r * r // 1000 * #vocabulary // 1000 + 1]
      if seed // 1000 % 7 == 0 then
        w = w .. ","
      end
      words[#words + 1] = w
    end
    out_lines[#out_lines + 1] = table.concat(words, " ") .. "."
  end
  return table.concat(out_lines, "\n")
end

local function main()
  local vocabulary = make_vocabulary(1200)
  local text = make_text(N, vocabulary)
  local counts = {}
  local pairs_seen = {}
  local initials = {}
  local total = 0
  local letters = 0
  local longest = ""
  for _, line in ipairs(split(text, "\n")) do
    local clean = line:gsub("[,.]", "")
    local prev = ""
    for _, w in ipairs(split(clean, " ")) do
      total = total + 1
      letters = letters + #w
      if #w > #longest or (#w == #longest and w < longest) then
        longest = w
      end
      counts[w] = (counts[w] or 0) + 1
      local c = w:sub(1, 1)
      initials[c] = (initials[c] or 0) + 1
      if prev ~= "" then
        local pair = prev .. " " .. w
        pairs_seen[pair] = (pairs_seen[pair] or 0) + 1
      end
      prev = w
    end
  end
  local top = {}
  for _ = 1, 5 do
    local best = ""
    local best_count = 0
    for w, n in pairs(counts) do
      if n > best_count or (n == best_count and w < best) then
        best = w
        best_count = n
      end
    end
    top[#top + 1] = best .. ":" .. best_count
    counts[best] = nil
  end
  local repeated = 0
  for _, n in pairs(pairs_seen) do
    if n > 1 then
      repeated = repeated + 1
    end
  end
  print("wordcount " .. #text .. " " .. total .. " " .. letters .. " " .. longest)
  print("distinct " .. size(counts) + 5 .. " " .. size(pairs_seen) .. " " .. repeated .. " "
        .. initials["q"] .. " " .. initials["s"])
  print("top " .. table.concat(top, " "))
end

main()
