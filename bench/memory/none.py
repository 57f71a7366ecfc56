N = 1000000
i = 0
total = 0
while i < N:
    total += i % 7
    i += 1
print(total)
