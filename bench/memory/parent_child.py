N = 1000000
class Node:
    def __init__(self, parent):
        self.parent = parent
        self.kids = []
        if parent is not None:
            parent.kids.append(self)
i = 0
total = 0
while i < N:
    root = Node(None)
    leaf = Node(root)
    total += len(leaf.parent.kids)
    i += 1
print(total)
