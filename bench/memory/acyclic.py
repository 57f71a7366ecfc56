N = 1000000
class Pair:
    def __init__(self, a, b):
        self.a = a
        self.b = b
i = 0
total = 0
while i < N:
    xs = [i, i + 1, i + 2]
    p = Pair(xs, i)
    total += len(p.a) + p.b % 7
    i += 1
print(total)
