-- Float arithmetic: escape-time iteration counts over a grid of the complex
-- plane; the counts are ints, so the output does not depend on float printing.
local N = 450

local function escape(cr, ci, limit)
  local zr, zi = 0.0, 0.0
  local k = 0
  while k < limit do
    local zr2 = zr * zr
    local zi2 = zi * zi
    if zr2 + zi2 > 4.0 then
      return k
    end
    zi = 2.0 * zr * zi + ci
    zr = zr2 - zi2 + cr
    k = k + 1
  end
  return limit
end

local function main()
  local total = 0
  local inside = 0
  for y = 0, N - 1 do
    local ci = -1.2 + 2.4 * y / N
    for x = 0, N - 1 do
      local cr = -2.0 + 2.6 * x / N
      local k = escape(cr, ci, 100)
      total = total + k
      if k == 100 then
        inside = inside + 1
      end
    end
  end
  print("floats " .. total .. " " .. inside)
end

main()
