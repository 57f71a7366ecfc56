N = 1000000
class Task:
    def __init__(self, k):
        self.k = k
        self.callback = self.run
    def run(self):
        return self.k
i = 0
total = 0
while i < N:
    t = Task(i)
    total += t.callback() % 7
    i += 1
print(total)
