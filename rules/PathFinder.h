#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "rules/GridManager.h"

// One tile reached by the search.
struct CPathNode {
    double     f           = 0.0; // g + h, the sort key of the open list
    double     g           = 0.0; // cost from the start
    double     h           = 0.0; // estimated cost to the destination
    int        x           = 0;
    int        y           = 0;
    int        childCount  = 0;       // entries used in children
    int        number      = 0;       // x * rows + y: the node's identity
    CPathNode* parent      = nullptr; // predecessor on the best known path; null for the start
    CPathNode* next        = nullptr; // link in the open or the closed list
    CPathNode* children[8] = {};      // nodes reached from this one
};

// A* over the square board with eight neighbours per tile. Cost, heuristic
// and passability come from callbacks, so the search knows nothing of units
// or terrain. The open list is kept sorted by f; a new node goes before the
// first node whose f is greater than or equal to its own, so among equal f
// the newest is taken first. The search takes at most budgetPerRow x rows
// nodes from the open list and only counts the destination as found within
// one fewer than that. Nodes belong to the finder and live until the next
// search or its destruction.
class CPathFinder {
public:
    static constexpr int maxChildren  = 8;
    static constexpr int budgetPerRow = 20;

    // Cost of stepping from parent onto candidate; the estimate from node to
    // the destination; whether candidate (reached from parent) may be entered.
    using CostCallback      = double (*)(const CPathNode& parent, const CPathNode& candidate, void* data);
    using HeuristicCallback = double (*)(const CPathNode& destination, const CPathNode& node, void* data);
    using ValidityCallback  = bool (*)(const CPathNode& parent, const CPathNode& candidate, void* data);

    explicit CPathFinder(int rows = CGridManager::gridSize);
    CPathFinder(const CPathFinder&)            = delete;
    CPathFinder& operator=(const CPathFinder&) = delete;

    // A missing callback counts as cost 1, estimate 1 and every tile valid.
    void SetCallbacks(CostCallback cost, HeuristicCallback heuristic, ValidityCallback validity, void* data);

    // True when the destination was reached within the budget; the best node
    // is then the destination, and its parents lead back to the start. The
    // start tile itself is never tested for validity.
    bool FindPath(int startX, int startY, int destinationX, int destinationY);

    const CPathNode* GetBestNode() const { return best; }
    // The tiles of the last path found, start first; empty after a failure.
    std::vector<std::pair<int, int>> GetPath() const;
    // Nodes taken from the open list by the last search.
    int GetIterations() const { return iterations; }
    int GetBudget() const { return budgetPerRow * rows; }

private:
    int               Number(int x, int y) const { return x * rows + y; }
    CPathNode*        NewNode(int x, int y);
    void              FreeNodes();
    double            Cost(const CPathNode& parent, const CPathNode& candidate) const;
    double            Heuristic(const CPathNode& node) const;
    void              Expand(CPathNode& node);
    void              Link(CPathNode& parent, int x, int y);
    void              InsertOpen(CPathNode* node);
    void              Propagate(CPathNode& improved);
    static CPathNode* FindInList(CPathNode* head, int number);
    static void       AddChild(CPathNode& parent, CPathNode* child);

    CostCallback                            costCallback      = nullptr;
    HeuristicCallback                       heuristicCallback = nullptr;
    ValidityCallback                        validityCallback  = nullptr;
    void*                                   callbackData      = nullptr;
    int                                     rows              = CGridManager::gridSize;
    int                                     startX = 0, startY = 0;
    CPathNode                               destination; // only x, y and number are used
    CPathNode*                              open       = nullptr;
    CPathNode*                              closed     = nullptr;
    CPathNode*                              best       = nullptr;
    int                                     iterations = 0;
    std::vector<CPathNode*>                 stack; // nodes whose children wait for an improved cost
    std::vector<std::unique_ptr<CPathNode>> nodes; // every node of the current search
};
