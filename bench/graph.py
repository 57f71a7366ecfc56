# Graph search over dicts of adjacency lists keyed by node names:
# breadth-first distances from several sources with a list as the queue,
# and connected components found with an explicit stack.
N = 75000


def build_graph(n, seed):
    graph = {}
    for i in range(n):
        graph["n" + str(i)] = []
    for _ in range(n + n // 4):
        seed = (seed * 1103515245 + 12345) % 2147483648
        a = "n" + str(seed // 65536 % n)
        seed = (seed * 1103515245 + 12345) % 2147483648
        b = "n" + str(seed // 65536 % n)
        if a != b:
            graph[a].append(b)
            graph[b].append(a)
    return graph


def bfs(graph, source):
    dist = {source: 0}
    queue = [source]
    head = 0
    while head < len(queue):
        node = queue[head]
        head += 1
        d = dist[node] + 1
        for nxt in graph[node]:
            if nxt not in dist:
                dist[nxt] = d
                queue.append(nxt)
    return dist


def components(graph):
    seen = {}
    sizes = []
    for start in graph:
        if start in seen:
            continue
        seen[start] = True
        stack = [start]
        size = 0
        while len(stack) > 0:
            node = stack.pop()
            size += 1
            for nxt in graph[node]:
                if nxt not in seen:
                    seen[nxt] = True
                    stack.append(nxt)
        sizes.append(size)
    return sizes


def main():
    graph = build_graph(N, 11)
    reached = 0
    total = 0
    farthest = 0
    for s in range(0, N, N // 20):
        dist = bfs(graph, "n" + str(s))
        reached += len(dist)
        for node in dist:
            total += dist[node]
            if dist[node] > farthest:
                farthest = dist[node]
    sizes = components(graph)
    largest = 0
    for size in sizes:
        if size > largest:
            largest = size
    print("graph", reached, total, farthest, len(sizes), largest)


main()
