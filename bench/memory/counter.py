N = 1000000
def make_counter():
    total = 0
    def bump():
        nonlocal total
        total += 1
        return total
    return bump
i = 0
s = 0
while i < N:
    c = make_counter()
    c()
    s += c()
    i += 1
print(s)
