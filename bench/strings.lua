-- String building, split/join and indexing: sentences are assembled word by
-- word, split again, and read back character by character.
local N = 60000

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

local function make_word(seed)
  local letters = "abcdefghijklmnopqrstuvwxyz"
  local w = ""
  local n = 3 + seed % 5
  for i = 0, n - 1 do
    local k = (seed * 7 + i * 13) % 26 + 1
    w = w .. string.sub(letters, k, k)
  end
  return w
end

local function main()
  local total = 0
  local vowels = 0
  for r = 0, N - 1 do
    local words = {}
    for i = 0, 11 do
      words[#words + 1] = make_word(r + i * 31)
    end
    local line = table.concat(words, " ")
    local back_again = split(line, " ")
    total = total + #line + #back_again
    for _, w in ipairs(back_again) do
      if string.sub(w, 1, 1) == string.sub(w, -1) then
        total = total + 1
      end
    end
    local i = 1
    while i <= #line do
      if string.find("aeiou", string.sub(line, i, i), 1, true) then
        vowels = vowels + 1
      end
      i = i + 2
    end
    local csv = table.concat(split(line, "e"), ",")
    total = total + #split(csv, ",")
  end
  print("strings " .. total .. " " .. vowels)
end

main()
