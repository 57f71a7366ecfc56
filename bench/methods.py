# Classes and method calls: a small integer vector class and particles that
# hold vectors, stepped through attribute reads, writes and inheritance.
N = 140000


class Vec:
    def __init__(self, x, y):
        self.x = x
        self.y = y

    def plus(self, o):
        return Vec(self.x + o.x, self.y + o.y)

    def dot(self, o):
        return self.x * o.x + self.y * o.y

    def wrap(self, size):
        self.x = self.x % size
        self.y = self.y % size


class Particle:
    def __init__(self, x, y, vx, vy):
        self.pos = Vec(x, y)
        self.vel = Vec(vx, vy)
        self.hits = 0

    def step(self, size):
        self.pos = self.pos.plus(self.vel)
        if self.pos.x >= size or self.pos.y >= size:
            self.hits += 1
        self.pos.wrap(size)

    def energy(self):
        return self.vel.dot(self.vel)


class Heavy(Particle):
    def energy(self):
        return 3 * super().energy()


def main():
    ps = []
    for i in range(16):
        if i % 4 == 0:
            ps.append(Heavy(i, 2 * i, i % 5 + 1, i % 3 + 2))
        else:
            ps.append(Particle(i, 2 * i, i % 5 + 1, i % 3 + 2))
    total = 0
    for t in range(N):
        for p in ps:
            p.step(1000)
        if t % 100 == 0:
            for p in ps:
                total += p.energy() + p.pos.dot(p.vel)
    hits = 0
    for p in ps:
        hits += p.hits
    print("methods", total, hits, ps[5].pos.x, ps[5].pos.y)


main()
