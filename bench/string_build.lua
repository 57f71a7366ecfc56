-- String building: lines grown piece by piece with s = s .. x, numbers
-- rendered into text, a report assembled with table.concat, and a long
-- string grown one line at a time.
local N = 75000

local function count_pieces(s, sep)
  local n = 1
  local start = 1
  while true do
    local i, j = string.find(s, sep, start, true)
    if not i then
      return n
    end
    n = n + 1
    start = j + 1
  end
end

local function pad_left(text, width)
  while #text < width do
    text = " " .. text
  end
  return text
end

local function row(i)
  local s = "item" .. i .. ":"
  for k = 0, 7 do
    s = s .. " " .. (i * k + 3) % 1000
  end
  return s
end

local function csv_line(values)
  local line = ""
  for _, v in ipairs(values) do
    if line ~= "" then
      line = line .. ","
    end
    line = line .. tostring(v)
  end
  return line
end

local function main()
  local total = 0
  local checksum = 0
  local long = ""
  for r = 0, N - 1 do
    local lines = {}
    for i = 0, 9 do
      lines[#lines + 1] = pad_left(row(r * 10 + i), 48)
    end
    local report = table.concat(lines, "\n")
    total = total + #report
    local csv = csv_line({r, r * 2, "x" .. r % 7, r % 100, -r})
    total = total + #csv
    local k = r % 400 + 1
    if report:sub(k, k) == " " then
      checksum = checksum + 1
    end
    long = long .. csv .. ";"
    if #long > 20000 then
      checksum = (checksum * 7 + count_pieces(long, "1")) % 1000000007
      long = ""
    end
  end
  print("string_build " .. total .. " " .. checksum .. " " .. #long)
end

main()
