N = 1000000
i = 0
total = 0
while i < N:
    xs = [i]
    xs.append(xs)
    total += len(xs[1])
    i += 1
print(total)
