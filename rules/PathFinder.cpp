#include "rules/PathFinder.h"

#include "core/Logger.h"

namespace {

// A propagation that keeps improving beyond this many nodes per tile of the
// board has met costs that never settle (negative terrain costs); it stops.
constexpr int propagationLimitPerTile = 64;

} // namespace

CPathFinder::CPathFinder(int rowCount) : rows(rowCount > 0 ? rowCount : CGridManager::gridSize) {}

void CPathFinder::SetCallbacks(CostCallback cost, HeuristicCallback heuristic, ValidityCallback validity, void* data) {
    costCallback      = cost;
    heuristicCallback = heuristic;
    validityCallback  = validity;
    callbackData      = data;
}

CPathNode* CPathFinder::NewNode(int x, int y) {
    nodes.push_back(std::make_unique<CPathNode>());
    CPathNode* node = nodes.back().get();
    node->x         = x;
    node->y         = y;
    node->number    = Number(x, y);
    return node;
}

void CPathFinder::FreeNodes() {
    open = closed = best = nullptr;
    stack.clear();
    nodes.clear();
}

double CPathFinder::Cost(const CPathNode& parent, const CPathNode& candidate) const {
    return costCallback != nullptr ? costCallback(parent, candidate, callbackData) : 1.0;
}

double CPathFinder::Heuristic(const CPathNode& node) const {
    return heuristicCallback != nullptr ? heuristicCallback(destination, node, callbackData) : 1.0;
}

bool CPathFinder::FindPath(int fromX, int fromY, int toX, int toY) {
    FreeNodes();
    startX             = fromX;
    startY             = fromY;
    destination.x      = toX;
    destination.y      = toY;
    destination.number = Number(toX, toY);
    iterations         = 0;

    CPathNode* start = NewNode(fromX, fromY);
    start->g         = 0.0;
    start->h         = Heuristic(*start);
    start->f         = start->g + start->h;
    open             = start;

    const int budget = GetBudget();
    for (int iteration = 0; iteration < budget; ++iteration) {
        if (open == nullptr) {
            return false;
        }
        CPathNode* node = open;
        open            = node->next;
        node->next      = closed;
        closed          = node;
        iterations      = iteration + 1;
        if (node->number == destination.number) {
            // Taken in the budget's very last iteration counts as not found.
            if (iteration < budget - 1) {
                best = node;
                return true;
            }
            return false;
        }
        Expand(*node);
    }
    return false;
}

void CPathFinder::Expand(CPathNode& node) {
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx == 0 && dy == 0) {
                continue;
            }
            const int x = node.x + dx;
            const int y = node.y + dy;
            if (x < 0 || y < 0 || x >= rows || y >= rows) {
                continue;
            }
            CPathNode candidate;
            candidate.x      = x;
            candidate.y      = y;
            candidate.number = Number(x, y);
            if (validityCallback != nullptr && !validityCallback(node, candidate, callbackData)) {
                continue;
            }
            Link(node, x, y);
        }
    }
}

CPathNode* CPathFinder::FindInList(CPathNode* head, int number) {
    for (CPathNode* node = head; node != nullptr; node = node->next) {
        if (node->number == number) {
            return node;
        }
    }
    return nullptr;
}

void CPathFinder::AddChild(CPathNode& parent, CPathNode* child) {
    if (parent.childCount < maxChildren) {
        parent.children[parent.childCount++] = child;
    }
}

void CPathFinder::Link(CPathNode& parent, int x, int y) {
    CPathNode candidate;
    candidate.x      = x;
    candidate.y      = y;
    candidate.number = Number(x, y);
    const double g   = parent.g + Cost(parent, candidate);

    if (CPathNode* known = FindInList(open, candidate.number)) {
        // Its place in the open list stays, even when its f improves.
        AddChild(parent, known);
        if (g < known->g) {
            known->parent = &parent;
            known->g      = g;
            known->f      = g + known->h;
        }
        return;
    }
    if (CPathNode* known = FindInList(closed, candidate.number)) {
        AddChild(parent, known);
        if (g < known->g) {
            known->parent = &parent;
            known->g      = g;
            known->f      = g + known->h;
            Propagate(*known);
        }
        return;
    }
    CPathNode* node = NewNode(x, y);
    node->g         = g;
    node->h         = Heuristic(*node);
    node->f         = g + node->h;
    node->parent    = &parent;
    InsertOpen(node);
    AddChild(parent, node);
}

void CPathFinder::InsertOpen(CPathNode* node) {
    CPathNode** link = &open;
    while (*link != nullptr && (*link)->f < node->f) {
        link = &(*link)->next;
    }
    node->next = *link;
    *link      = node;
}

// The improvement of a closed node is handed on to the nodes reached from
// it. The test adds 1 to the parent's cost; the first level also assigns with
// 1, deeper levels with the cost callback.
void CPathFinder::Propagate(CPathNode& improved) {
    stack.clear();
    for (int i = 0; i < improved.childCount; ++i) {
        CPathNode* child = improved.children[i];
        if (improved.g + 1.0 < child->g) {
            child->parent = &improved;
            child->g      = improved.g + 1.0;
            child->f      = child->g + child->h;
            stack.push_back(child);
        }
    }
    const int limit = propagationLimitPerTile * rows * rows;
    for (int pops = 0; !stack.empty(); ++pops) {
        if (pops == limit) {
            GetLogger()->LogError(
                "CPathFinder: path costs from (%d, %d) to (%d, %d) do not settle; propagation stopped", startX, startY,
                destination.x, destination.y);
            stack.clear();
            return;
        }
        CPathNode* node = stack.back();
        stack.pop_back();
        for (int i = 0; i < node->childCount; ++i) {
            CPathNode* child = node->children[i];
            if (node->g + 1.0 < child->g) {
                child->g      = node->g + Cost(*node, *child);
                child->f      = child->g + child->h;
                child->parent = node;
                stack.push_back(child);
            }
        }
    }
}

// A chain longer than the nodes of the search would be a cycle, which only
// negative costs can make; the path is then refused rather than followed.
std::vector<std::pair<int, int>> CPathFinder::GetPath() const {
    std::vector<std::pair<int, int>> path;
    for (const CPathNode* node = best; node != nullptr; node = node->parent) {
        if (path.size() == nodes.size()) {
            return {};
        }
        path.emplace_back(node->x, node->y);
    }
    return std::vector<std::pair<int, int>>(path.rbegin(), path.rend());
}
