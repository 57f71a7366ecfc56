-- A class hierarchy simulation: grazers, goats and hunters move over a ring
-- of grass patches, eat, age, breed and die, each kind overriding some of its
-- base's methods and calling others through its base class.
local N = 7000

local CAPACITY = 600

local function class(base)
  local c = {}
  c.__index = c
  if base then
    setmetatable(c, base)
  end
  return c
end

local World = class()

function World.new(size, seed)
  local self = setmetatable({}, World)
  self.size = size
  self.seed = seed
  self.grass = {}
  for i = 1, size do
    self.grass[i] = 5
  end
  self.animals = {}
  self.born = 0
  self.eaten = 0
  return self
end

function World:rand(n)
  self.seed = (self.seed * 1103515245 + 12345) % 2147483648
  return self.seed // 65536 % n
end

function World:grow()
  for i = 1, self.size do
    if self.grass[i] < 9 then
      self.grass[i] = self.grass[i] + 1
    end
  end
end

function World:step()
  local by_pos = {}
  for _, a in ipairs(self.animals) do
    if a:is_prey() then
      local here = by_pos[a.pos]
      if here then
        here[#here + 1] = a
      else
        by_pos[a.pos] = {a}
      end
    end
  end
  for _, a in ipairs(self.animals) do
    if a:alive() then
      a:tick(self, by_pos)
    end
  end
  local next_animals = {}
  for _, a in ipairs(self.animals) do
    if a:alive() then
      next_animals[#next_animals + 1] = a
      if a:ready() and #next_animals < CAPACITY then
        a.energy = a.energy // 2
        next_animals[#next_animals + 1] = a:child((a.pos + 1) % self.size)
        self.born = self.born + 1
      end
    end
  end
  self.animals = next_animals
  self:grow()
end

local Animal = class()

function Animal.init(self, pos, energy)
  self.pos = pos
  self.energy = energy
  self.age = 0
end

function Animal:move_cost()
  return 1
end

function Animal:lifespan()
  return 40
end

function Animal:is_prey()
  return true
end

function Animal:move(world)
  self.pos = (self.pos + world:rand(5) - 2) % world.size
  self.energy = self.energy - self:move_cost()
end

function Animal:tick(world, by_pos)
  self.age = self.age + 1
  self:move(world)
  self:eat(world, by_pos)
end

function Animal:alive()
  return self.energy > 0 and self.age < self:lifespan()
end

function Animal:ready()
  return self.energy >= 24
end

function Animal:species()
  return "animal"
end

local Grazer = class(Animal)

function Grazer.new(pos, energy)
  local self = setmetatable({}, Grazer)
  self:init(pos, energy)
  return self
end

function Grazer:eat(world, by_pos)
  -- Grass patches are numbered from 0, as positions are.
  local g = world.grass[self.pos + 1]
  local bite = 3
  if g < bite then
    bite = g
  end
  world.grass[self.pos + 1] = g - bite
  self.energy = self.energy + bite
end

function Grazer:child(pos)
  return Grazer.new(pos, 8)
end

function Grazer:species()
  return "grazer"
end

local Goat = class(Grazer)

function Goat.new(pos, energy)
  local self = setmetatable({}, Goat)
  self:init(pos, energy)
  return self
end

function Goat:move_cost()
  return 2
end

function Goat:lifespan()
  return 55
end

function Goat:eat(world, by_pos)
  Grazer.eat(self, world, by_pos)
  Grazer.eat(self, world, by_pos)
end

function Goat:ready()
  return self.energy >= 18
end

function Goat:child(pos)
  return Goat.new(pos, 10)
end

function Goat:species()
  return "goat"
end

local Hunter = class(Animal)

function Hunter.new(pos, energy)
  local self = setmetatable({}, Hunter)
  self:init(pos, energy)
  return self
end

function Hunter:init(pos, energy)
  Animal.init(self, pos, energy)
  self.kills = 0
end

function Hunter:is_prey()
  return false
end

function Hunter:lifespan()
  return 70
end

function Hunter:move(world)
  Animal.move(self, world)
  Animal.move(self, world)
end

function Hunter:eat(world, by_pos)
  for d = -1, 1 do
    local here = by_pos[(self.pos + d) % world.size]
    if here then
      for _, prey in ipairs(here) do
        if prey:alive() then
          prey.energy = 0
          self.energy = self.energy + 10
          self.kills = self.kills + 1
          world.eaten = world.eaten + 1
          return
        end
      end
    end
  end
end

function Hunter:ready()
  return self.energy >= 30
end

function Hunter:child(pos)
  return Hunter.new(pos, 12)
end

function Hunter:species()
  return "hunter"
end

local function main()
  local world = World.new(400, 99)
  for i = 0, 119 do
    if i % 3 == 0 then
      world.animals[#world.animals + 1] = Goat.new(world:rand(400), 12)
    else
      world.animals[#world.animals + 1] = Grazer.new(world:rand(400), 10)
    end
  end
  for _ = 1, 12 do
    world.animals[#world.animals + 1] = Hunter.new(world:rand(400), 30)
  end
  local peak = 0
  for t = 0, N - 1 do
    world:step()
    if #world.animals > peak then
      peak = #world.animals
    end
    -- Newcomers arrive now and then, so no kind dies out for good.
    if t % 50 == 49 then
      for _ = 1, 10 do
        world.animals[#world.animals + 1] = Goat.new(world:rand(400), 12)
      end
      for _ = 1, 4 do
        world.animals[#world.animals + 1] = Hunter.new(world:rand(400), 30)
      end
    end
  end
  local census = {grazer = 0, goat = 0, hunter = 0}
  local energy = 0
  local kills = 0
  for _, a in ipairs(world.animals) do
    census[a:species()] = census[a:species()] + 1
    energy = energy + a.energy
    if a:species() == "hunter" then
      kills = kills + a.kills
    end
  end
  local grass = 0
  for _, g in ipairs(world.grass) do
    grass = grass + g
  end
  print("ecosystem " .. #world.animals .. " " .. peak .. " " .. world.born .. " " .. world.eaten
        .. " " .. kills .. " " .. energy .. " " .. grass)
  print("census " .. census.grazer .. " " .. census.goat .. " " .. census.hunter)
end

main()
