#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/monitor/DiskProbe.h"
#include "core/monitor/WatchEvent.h"

namespace quillory {

using FolderNode = uint32_t;
inline constexpr FolderNode kNoFolder = UINT32_MAX;

// An absolute path in its plain form: no "." or ".." parts, no doubled or trailing "/" ("/" for
// the root); "" for a path that is not absolute. Made from the text alone, without the disk.
std::string plainPath(std::string_view path);
// The folder part and the last name of a plain path ("/a/b" gives "/a" and "b"; "/" gives "" and "").
std::string_view parentPathOf(std::string_view plain);
std::string_view lastNameOf(std::string_view plain);

// The folders the monitor watches: every folder that holds an indexed document, with all the
// folders above it up to "/", each once. A folder is a node (its name, its parent, the watch
// that answers for it), so renaming or moving a folder changes one node, and every path is
// computed from the nodes above it.
//
// A node stays while it is needed: while it holds a document, is the folder a document left a
// moment ago (kept watched so that its return is seen), or has a node below it. What holds a
// node is counted by the caller (hold/release); the
// tree drops a node when the count falls to nothing and it has no children, and so on upwards,
// and hands back the watches of the nodes dropped. Nodes are numbered; a dropped node's number
// may be given to a later one.
class WatchedFolderTree {
public:
    WatchedFolderTree();

    static constexpr FolderNode root() { return 0; }
    // The node of a plain path, or kNoFolder.
    FolderNode find(std::string_view plain) const;
    FolderNode child(FolderNode parent, std::string_view name) const;
    // The node of a plain path, made with every missing folder above it; the nodes made are
    // appended to added, the upper ones first.
    FolderNode ensure(std::string_view plain, std::vector<FolderNode>& added);

    std::string pathOf(FolderNode node) const;
    const std::string& nameOf(FolderNode node) const { return nodes_[node].name; }
    FolderNode parentOf(FolderNode node) const { return nodes_[node].parent; }
    bool isBelow(FolderNode node, FolderNode above) const;
    // node and every node below it, each before its children.
    std::vector<FolderNode> subtree(FolderNode node) const;
    size_t size() const { return nodes_.size() - free_.size(); }

    // One more (or one fewer) reason to keep node. A release that leaves node unneeded drops it
    // and the unneeded nodes above it; their watches are appended to dropped.
    void hold(FolderNode node) { ++nodes_[node].holders; }
    void release(FolderNode node, std::vector<int>& dropped);

    // node gets the name newName under newParent (a rename or a move). The old parent is
    // dropped when this leaves it unneeded. Returns false, changing nothing, when newParent lies
    // below node or already has a child of that name.
    bool move(FolderNode node, FolderNode newParent, const std::string& newName, std::vector<int>& dropped);

    void setWatch(FolderNode node, int watch);
    int watchOf(FolderNode node) const { return nodes_[node].watch; }
    FolderNode nodeOfWatch(int watch) const;
    size_t watchCount() const { return byWatch_.size(); }
    // Forgets the watches of node and all below it (the folder was deleted or went out of
    // sight); they are appended to dropped. The nodes stay.
    void forgetWatches(FolderNode node, std::vector<int>& dropped);

    // The identity the folder had when last looked at (see DiskProbe).
    FileIdentity identityOf(FolderNode node) const { return nodes_[node].identity; }
    void setIdentity(FolderNode node, FileIdentity identity) { nodes_[node].identity = identity; }

private:
    struct Node {
        std::string name;
        FolderNode parent = kNoFolder;
        int watch = kNoWatch;
        uint32_t holders = 0;
        std::vector<FolderNode> children;
        FileIdentity identity;
    };
    static std::string childKey(FolderNode parent, std::string_view name);
    void unlinkFromParent(FolderNode node);
    void dropIfUnneeded(FolderNode node, std::vector<int>& dropped);

    std::vector<Node> nodes_;
    std::vector<FolderNode> free_;
    std::unordered_map<std::string, FolderNode> byParentAndName_;
    std::unordered_map<int, FolderNode> byWatch_;
};

} // namespace quillory
