# Lists: comprehensions, append/pop, index reads and writes, and an in-place
# insertion sort plus a stack drain written in the language.
N = 7000


def insertion_sort(xs):
    i = 1
    while i < len(xs):
        v = xs[i]
        j = i - 1
        while j >= 0 and xs[j] > v:
            xs[j + 1] = xs[j]
            j -= 1
        xs[j + 1] = v
        i += 1


def main():
    xs = [(i * 7919 + 13) % 10007 for i in range(N)]
    insertion_sort(xs)
    ordered = 0
    for i in range(1, len(xs)):
        if xs[i - 1] <= xs[i]:
            ordered += 1
    evens = [x // 2 for x in xs if x % 2 == 0]
    stack = []
    total = 0
    for round_ in range(40):
        for x in evens:
            stack.append(x + round_)
        while len(stack) > 0:
            total += stack.pop() % 97
    print("lists", ordered, len(evens), xs[0], xs[N - 1], total)


main()
