-- Graph search over tables of adjacency lists keyed by node names:
-- breadth-first distances from several sources with a table as the queue,
-- and connected components found with an explicit stack.
local N = 75000

local function build_graph(n, seed)
  local graph = {}
  for i = 0, n - 1 do
    graph["n" .. i] = {}
  end
  for _ = 1, n + n // 4 do
    seed = (seed * 1103515245 + 12345) % 2147483648
    local a = "n" .. seed // 65536 % n
    seed = (seed * 1103515245 + 12345) % 2147483648
    local b = "n" .. seed // 65536 % n
    if a ~= b then
      local ea, eb = graph[a], graph[b]
      ea[#ea + 1] = b
      eb[#eb + 1] = a
    end
  end
  return graph
end

local function bfs(graph, source)
  local dist = {[source] = 0}
  local count = 1
  local queue = {source}
  local head = 1
  while head <= #queue do
    local node = queue[head]
    head = head + 1
    local d = dist[node] + 1
    for _, nxt in ipairs(graph[node]) do
      if dist[nxt] == nil then
        dist[nxt] = d
        count = count + 1
        queue[#queue + 1] = nxt
      end
    end
  end
  return dist, count
end

local function components(graph)
  local seen = {}
  local sizes = {}
  for start in pairs(graph) do
    if not seen[start] then
      seen[start] = true
      local stack = {start}
      local size = 0
      while #stack > 0 do
        local node = table.remove(stack)
        size = size + 1
        for _, nxt in ipairs(graph[node]) do
          if not seen[nxt] then
            seen[nxt] = true
            stack[#stack + 1] = nxt
          end
        end
      end
      sizes[#sizes + 1] = size
    end
  end
  return sizes
end

local function main()
  local graph = build_graph(N, 11)
  local reached = 0
  local total = 0
  local farthest = 0
  for s = 0, N - 1, N // 20 do
    local dist, count = bfs(graph, "n" .. s)
    reached = reached + count
    for _, d in pairs(dist) do
      total = total + d
      if d > farthest then
        farthest = d
      end
    end
  end
  local sizes = components(graph)
  local largest = 0
  for _, size in ipairs(sizes) do
    if size > largest then
      largest = size
    end
  end
  print("graph " .. reached .. " " .. total .. " " .. farthest .. " " .. #sizes .. " " .. largest)
end

main()
