# A class hierarchy simulation: grazers, goats and hunters move over a ring
# of grass patches, eat, age, breed and die, each kind overriding some of its
# base's methods and calling others through super().
N = 7000

CAPACITY = 600


class World:
    def __init__(self, size, seed):
        self.size = size
        self.seed = seed
        self.grass = [5 for _ in range(size)]
        self.animals = []
        self.born = 0
        self.eaten = 0

    def rand(self, n):
        self.seed = (self.seed * 1103515245 + 12345) % 2147483648
        return self.seed // 65536 % n

    def grow(self):
        for i in range(self.size):
            if self.grass[i] < 9:
                self.grass[i] += 1

    def step(self):
        by_pos = {}
        for a in self.animals:
            if a.is_prey():
                if a.pos in by_pos:
                    by_pos[a.pos].append(a)
                else:
                    by_pos[a.pos] = [a]
        for a in self.animals:
            if a.alive():
                a.tick(self, by_pos)
        next_animals = []
        for a in self.animals:
            if a.alive():
                next_animals.append(a)
                if a.ready() and len(next_animals) < CAPACITY:
                    a.energy = a.energy // 2
                    next_animals.append(a.child((a.pos + 1) % self.size))
                    self.born += 1
        self.animals = next_animals
        self.grow()


class Animal:
    def __init__(self, pos, energy):
        self.pos = pos
        self.energy = energy
        self.age = 0

    def move_cost(self):
        return 1

    def lifespan(self):
        return 40

    def is_prey(self):
        return True

    def move(self, world):
        self.pos = (self.pos + world.rand(5) - 2) % world.size
        self.energy -= self.move_cost()

    def tick(self, world, by_pos):
        self.age += 1
        self.move(world)
        self.eat(world, by_pos)

    def alive(self):
        return self.energy > 0 and self.age < self.lifespan()

    def ready(self):
        return self.energy >= 24

    def species(self):
        return "animal"


class Grazer(Animal):
    def eat(self, world, by_pos):
        g = world.grass[self.pos]
        bite = 3
        if g < bite:
            bite = g
        world.grass[self.pos] -= bite
        self.energy += bite

    def child(self, pos):
        return Grazer(pos, 8)

    def species(self):
        return "grazer"


class Goat(Grazer):
    def move_cost(self):
        return 2

    def lifespan(self):
        return 55

    def eat(self, world, by_pos):
        super().eat(world, by_pos)
        super().eat(world, by_pos)

    def ready(self):
        return self.energy >= 18

    def child(self, pos):
        return Goat(pos, 10)

    def species(self):
        return "goat"


class Hunter(Animal):
    def __init__(self, pos, energy):
        super().__init__(pos, energy)
        self.kills = 0

    def is_prey(self):
        return False

    def lifespan(self):
        return 70

    def move(self, world):
        super().move(world)
        super().move(world)

    def eat(self, world, by_pos):
        for d in range(-1, 2):
            spot = (self.pos + d) % world.size
            if spot in by_pos:
                for prey in by_pos[spot]:
                    if prey.alive():
                        prey.energy = 0
                        self.energy += 10
                        self.kills += 1
                        world.eaten += 1
                        return

    def ready(self):
        return self.energy >= 30

    def child(self, pos):
        return Hunter(pos, 12)

    def species(self):
        return "hunter"


def main():
    world = World(400, 99)
    for i in range(120):
        if i % 3 == 0:
            world.animals.append(Goat(world.rand(400), 12))
        else:
            world.animals.append(Grazer(world.rand(400), 10))
    for _ in range(12):
        world.animals.append(Hunter(world.rand(400), 30))
    peak = 0
    for t in range(N):
        world.step()
        if len(world.animals) > peak:
            peak = len(world.animals)
        # Newcomers arrive now and then, so no kind dies out for good.
        if t % 50 == 49:
            for _ in range(10):
                world.animals.append(Goat(world.rand(400), 12))
            for _ in range(4):
                world.animals.append(Hunter(world.rand(400), 30))
    census = {"grazer": 0, "goat": 0, "hunter": 0}
    energy = 0
    kills = 0
    for a in world.animals:
        census[a.species()] += 1
        energy += a.energy
        if a.species() == "hunter":
            kills += a.kills
    grass = 0
    for g in world.grass:
        grass += g
    print("ecosystem", len(world.animals), peak, world.born, world.eaten, kills, energy, grass)
    print("census", census["grazer"], census["goat"], census["hunter"])


main()
