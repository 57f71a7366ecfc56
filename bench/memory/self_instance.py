N = 1000000
class Loop:
    def __init__(self, k):
        self.k = k
        self.me = self
i = 0
total = 0
while i < N:
    x = Loop(i)
    total += x.me.k % 7
    i += 1
print(total)
