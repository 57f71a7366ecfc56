-- Classes and method calls: a small integer vector class and particles that
-- hold vectors, stepped through field reads, writes and inheritance.
local N = 140000

local Vec = {}
Vec.__index = Vec

function Vec.new(x, y)
  return setmetatable({x = x, y = y}, Vec)
end

function Vec:plus(o)
  return Vec.new(self.x + o.x, self.y + o.y)
end

function Vec:dot(o)
  return self.x * o.x + self.y * o.y
end

function Vec:wrap(size)
  self.x = self.x % size
  self.y = self.y % size
end

local Particle = {}
Particle.__index = Particle

function Particle.new(x, y, vx, vy)
  local self = setmetatable({}, Particle)
  self.pos = Vec.new(x, y)
  self.vel = Vec.new(vx, vy)
  self.hits = 0
  return self
end

function Particle:step(size)
  self.pos = self.pos:plus(self.vel)
  if self.pos.x >= size or self.pos.y >= size then
    self.hits = self.hits + 1
  end
  self.pos:wrap(size)
end

function Particle:energy()
  return self.vel:dot(self.vel)
end

local Heavy = setmetatable({}, Particle)
Heavy.__index = Heavy

function Heavy.new(x, y, vx, vy)
  return setmetatable(Particle.new(x, y, vx, vy), Heavy)
end

function Heavy:energy()
  return 3 * Particle.energy(self)
end

local function main()
  local ps = {}
  for i = 0, 15 do
    if i % 4 == 0 then
      ps[#ps + 1] = Heavy.new(i, 2 * i, i % 5 + 1, i % 3 + 2)
    else
      ps[#ps + 1] = Particle.new(i, 2 * i, i % 5 + 1, i % 3 + 2)
    end
  end
  local total = 0
  for t = 0, N - 1 do
    for _, p in ipairs(ps) do
      p:step(1000)
    end
    if t % 100 == 0 then
      for _, p in ipairs(ps) do
        total = total + p:energy() + p.pos:dot(p.vel)
      end
    end
  end
  local hits = 0
  for _, p in ipairs(ps) do
    hits = hits + p.hits
  end
  print("methods " .. total .. " " .. hits .. " " .. ps[6].pos.x .. " " .. ps[6].pos.y)
end

main()
