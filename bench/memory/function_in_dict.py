N = 1000000
def make(k):
    d = {"k": k}
    def get():
        return d["k"]
    d["get"] = get
    return d
i = 0
total = 0
while i < N:
    d = make(i)
    total += d["get"]() % 7
    i += 1
print(total)
