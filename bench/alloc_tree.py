# Allocation-heavy recursion: complete binary trees of class instances are
# built, walked and dropped, many times over.
N = 17


class Node:
    def __init__(self, left, right, val):
        self.left = left
        self.right = right
        self.val = val


def build(depth, v):
    if depth == 0:
        return Node(None, None, v)
    return Node(build(depth - 1, 2 * v), build(depth - 1, 2 * v + 1), v)


def check(n):
    if n.left is None:
        return n.val % 7
    return n.val % 7 + check(n.left) - check(n.right)


def count(n):
    if n.left is None:
        return 1
    return 1 + count(n.left) + count(n.right)


def main():
    long_lived = build(N, 1)
    total = 0
    d = 4
    while d <= N:
        iters = 1
        for _ in range(N - d):
            iters *= 2
        for i in range(iters):
            t = build(d, i)
            total += check(t) + count(t)
        d += 2
    print("alloc_tree", total, count(long_lived), check(long_lived))


main()
