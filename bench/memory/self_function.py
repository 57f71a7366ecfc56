N = 1000000
def make(k):
    def again():
        return again
    return again
i = 0
count = 0
while i < N:
    f = make(i)
    if f() is f:
        count += 1
    i += 1
print(count)
