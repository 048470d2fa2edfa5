#include "core/monitor/WatchedFolderTree.h"

#include <algorithm>
#include <cstring>

namespace quillory {

std::string plainPath(std::string_view path)
{
    if (path.empty() || path.front() != '/')
        return {};
    std::string plain;
    plain.reserve(path.size());
    size_t at = 0;
    while (at < path.size()) {
        while (at < path.size() && path[at] == '/')
            ++at;
        const size_t end = std::min(path.find('/', at), path.size());
        const std::string_view part = path.substr(at, end - at);
        at = end;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            plain.resize(plain.empty() ? 0 : plain.rfind('/'));
            continue;
        }
        plain += '/';
        plain.append(part);
    }
    return plain.empty() ? std::string("/") : plain;
}

std::string_view parentPathOf(std::string_view plain)
{
    const size_t slash = plain.rfind('/');
    if (plain.size() <= 1 || slash == std::string_view::npos)
        return {};
    return slash == 0 ? plain.substr(0, 1) : plain.substr(0, slash);
}

std::string_view lastNameOf(std::string_view plain)
{
    const size_t slash = plain.rfind('/');
    return plain.size() <= 1 || slash == std::string_view::npos ? std::string_view() : plain.substr(slash + 1);
}

WatchedFolderTree::WatchedFolderTree()
{
    nodes_.push_back(Node{});
}

std::string WatchedFolderTree::childKey(FolderNode parent, std::string_view name)
{
    std::string key(sizeof parent, '\0');
    std::memcpy(key.data(), &parent, sizeof parent);
    key.append(name);
    return key;
}

FolderNode WatchedFolderTree::child(FolderNode parent, std::string_view name) const
{
    const auto found = byParentAndName_.find(childKey(parent, name));
    return found == byParentAndName_.end() ? kNoFolder : found->second;
}

FolderNode WatchedFolderTree::find(std::string_view plain) const
{
    if (plain.empty() || plain.front() != '/')
        return kNoFolder;
    FolderNode node = root();
    size_t at = 1;
    while (at < plain.size() && node != kNoFolder) {
        const size_t end = std::min(plain.find('/', at), plain.size());
        node = child(node, plain.substr(at, end - at));
        at = end + 1;
    }
    return node;
}

FolderNode WatchedFolderTree::ensure(std::string_view plain, std::vector<FolderNode>& added)
{
    if (plain.empty() || plain.front() != '/')
        return kNoFolder;
    FolderNode node = root();
    size_t at = 1;
    while (at < plain.size()) {
        const size_t end = std::min(plain.find('/', at), plain.size());
        const std::string_view name = plain.substr(at, end - at);
        at = end + 1;
        FolderNode next = child(node, name);
        if (next == kNoFolder) {
            if (free_.empty()) {
                next = static_cast<FolderNode>(nodes_.size());
                nodes_.emplace_back();
            } else {
                next = free_.back();
                free_.pop_back();
            }
            nodes_[next] = Node{std::string(name), node, kNoWatch, 0, {}, {}};
            nodes_[node].children.push_back(next);
            byParentAndName_.emplace(childKey(node, name), next);
            added.push_back(next);
        }
        node = next;
    }
    return node;
}

std::string WatchedFolderTree::pathOf(FolderNode node) const
{
    if (node == root())
        return "/";
    std::vector<FolderNode> chain;
    for (FolderNode at = node; at != root(); at = nodes_[at].parent)
        chain.push_back(at);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += '/';
        path += nodes_[*it].name;
    }
    return path;
}

bool WatchedFolderTree::isBelow(FolderNode node, FolderNode above) const
{
    for (FolderNode at = node; at != kNoFolder; at = nodes_[at].parent) {
        if (at == above)
            return true;
    }
    return false;
}

std::vector<FolderNode> WatchedFolderTree::subtree(FolderNode node) const
{
    std::vector<FolderNode> nodes{node};
    for (size_t i = 0; i < nodes.size(); ++i) {
        const auto& children = nodes_[nodes[i]].children;
        nodes.insert(nodes.end(), children.begin(), children.end());
    }
    return nodes;
}

void WatchedFolderTree::release(FolderNode node, std::vector<int>& dropped)
{
    if (nodes_[node].holders > 0)
        --nodes_[node].holders;
    dropIfUnneeded(node, dropped);
}

void WatchedFolderTree::unlinkFromParent(FolderNode node)
{
    Node& n = nodes_[node];
    auto& siblings = nodes_[n.parent].children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    byParentAndName_.erase(childKey(n.parent, n.name));
}

void WatchedFolderTree::dropIfUnneeded(FolderNode node, std::vector<int>& dropped)
{
    while (node != root() && nodes_[node].holders == 0 && nodes_[node].children.empty()) {
        Node& n = nodes_[node];
        const FolderNode parent = n.parent;
        if (n.watch != kNoWatch) {
            dropped.push_back(n.watch);
            byWatch_.erase(n.watch);
        }
        unlinkFromParent(node);
        n = Node{};
        free_.push_back(node);
        node = parent;
    }
}

bool WatchedFolderTree::move(FolderNode node, FolderNode newParent, const std::string& newName,
                             std::vector<int>& dropped)
{
    if (node == root() || isBelow(newParent, node) || child(newParent, newName) != kNoFolder)
        return false;
    const FolderNode oldParent = nodes_[node].parent;
    unlinkFromParent(node);
    nodes_[node].name = newName;
    nodes_[node].parent = newParent;
    nodes_[newParent].children.push_back(node);
    byParentAndName_.emplace(childKey(newParent, newName), node);
    dropIfUnneeded(oldParent, dropped);
    return true;
}

void WatchedFolderTree::setWatch(FolderNode node, int watch)
{
    Node& n = nodes_[node];
    if (n.watch != kNoWatch)
        byWatch_.erase(n.watch);
    n.watch = watch;
    if (watch != kNoWatch)
        byWatch_[watch] = node;
}

FolderNode WatchedFolderTree::nodeOfWatch(int watch) const
{
    const auto found = byWatch_.find(watch);
    return found == byWatch_.end() ? kNoFolder : found->second;
}

void WatchedFolderTree::forgetWatches(FolderNode node, std::vector<int>& dropped)
{
    for (const FolderNode below : subtree(node)) {
        if (nodes_[below].watch != kNoWatch) {
            dropped.push_back(nodes_[below].watch);
            setWatch(below, kNoWatch);
        }
    }
}

} // namespace quillory
