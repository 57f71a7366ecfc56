-- A cellular automaton on a grid of tables: Conway's rules on a torus,
-- each generation counting the eight neighbours of every cell into a new
-- grid, from a pseudo-random start.
local N = 3500

local SIZE = 48

local function make_grid(size, seed)
  local grid = {}
  for y = 1, size do
    local row = {}
    for x = 1, size do
      seed = (seed * 1103515245 + 12345) % 2147483648
      row[x] = seed // 65536 % 3 == 0 and 1 or 0
    end
    grid[y] = row
  end
  return grid
end

local function step(grid)
  local size = #grid
  local next_grid = {}
  for y = 1, size do
    local above = grid[(y - 2) % size + 1]
    local here = grid[y]
    local below = grid[y % size + 1]
    local row = {}
    for x = 1, size do
      local left = (x - 2) % size + 1
      local right = x % size + 1
      local n = above[left] + above[x] + above[right] + here[left] + here[right] + below[left]
                + below[x] + below[right]
      if n == 3 or (n == 2 and here[x] == 1) then
        row[x] = 1
      else
        row[x] = 0
      end
    end
    next_grid[y] = row
  end
  return next_grid
end

local function population(grid)
  local count = 0
  for _, row in ipairs(grid) do
    for _, cell in ipairs(row) do
      count = count + cell
    end
  end
  return count
end

local function main()
  local grid = make_grid(SIZE, 5)
  local history = {}
  for _ = 1, N do
    grid = step(grid)
    history[#history + 1] = population(grid)
  end
  local h = 0
  for _, p in ipairs(history) do
    h = (h * 131 + p) % 1000000007
  end
  print("life " .. population(grid) .. " " .. history[1] .. " " .. h)
end

main()
