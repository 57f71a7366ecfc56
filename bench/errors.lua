-- Errors: pcall around calls that raise error objects of the program's own
-- classes or of library-like kinds from a few calls down, with clean-up code
-- and re-raises on the way out.
local N = 600000

-- qlr's built-in errors carry the source line that raised them, and
-- errors.qlr adds that line up; the index error is raised on line 20 there.
local INDEX_ERROR_LINE = 20

local function class(base)
  local c = {}
  c.__index = c
  if base then
    setmetatable(c, base)
  end
  return c
end

local function is_a(obj, cls)
  if type(obj) ~= "table" then
    return false
  end
  local c = getmetatable(obj)
  while c do
    if c == cls then
      return true
    end
    c = getmetatable(c)
  end
  return false
end

local AppError = class()
local Retry = class(AppError)
local KeyError = class()
local IndexError = class()

local function level3(i, d)
  if i % 5 == 0 then
    error(setmetatable({code = i % 11}, AppError))
  end
  if i % 5 == 1 then
    error(setmetatable({code = i % 13}, Retry))
  end
  if i % 5 == 2 then
    local v = d["missing"]
    if v == nil then
      error(setmetatable({key = "missing"}, KeyError))
    end
    return v
  end
  if i % 5 == 3 then
    local v = ({1, 2, 3})[i % 3 + 4]
    if v == nil then
      error(setmetatable({}, IndexError))
    end
    return v
  end
  return i % 9
end

local function level2(i, d)
  return level3(i, d) + 1
end

local function level1(i, d, tally)
  local ok, result = pcall(level2, i, d)
  tally[1] = tally[1] + 1
  if ok then
    return result
  end
  if is_a(result, Retry) then
    error(setmetatable({code = result.code + 100}, AppError))
  end
  error(result, 0)
end

local function main()
  local d = {present = 1}
  local tally = {0}
  local total = 0
  local kinds = {app = 0, key = 0, index = 0, ok = 0}
  for i = 0, N - 1 do
    local ok, result = pcall(level1, i, d, tally)
    if ok then
      total = total + result
      kinds.ok = kinds.ok + 1
    elseif is_a(result, AppError) then
      total = total + result.code
      kinds.app = kinds.app + 1
    elseif is_a(result, KeyError) then
      kinds.key = kinds.key + 1
    elseif is_a(result, IndexError) then
      total = total + INDEX_ERROR_LINE
      kinds.index = kinds.index + 1
    else
      error(result, 0)
    end
  end
  print("errors " .. total .. " " .. tally[1] .. " " .. kinds.app .. " " .. kinds.key
        .. " " .. kinds.index .. " " .. kinds.ok)
end

main()
