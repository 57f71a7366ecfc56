N = 1000000
def make(k):
    class Box:
        def __init__(self, v):
            self.v = v
        def get(self):
            return self.v
    return Box(k)
i = 0
total = 0
while i < N:
    b = make(i)
    total += b.get() % 7
    i += 1
print(total)
