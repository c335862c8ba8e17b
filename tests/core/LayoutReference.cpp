#include "LayoutReference.h"

#include "GraphStore.h"
#include "Trace.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace reference {

namespace {

LayoutRecord makeRecord(float x, float y, float z, float a) {
    LayoutRecord record;
    record.x = x;
    record.y = y;
    record.z = z;
    record.r = 1.0f;
    record.g = 0.0f;
    record.b = 0.0f;
    record.a = a;
    return record;
}

}  // namespace

std::map<uint32_t, LayoutRecord> rootedTree() {
    std::map<uint32_t, LayoutRecord> records;
    const std::vector<VertexPtr> leaves = g_graph->getLeaves();
    const double levels = static_cast<double>(g_graph->depthCount());
    const size_t leafCount = leaves.size();
    std::vector<uint32_t> frontier;
    for (size_t p = 0; p < leafCount; ++p) {
        const VertexPtr& leaf = leaves[p];
        records[leaf->getId()] =
            makeRecord(static_cast<float>(static_cast<double>(p) / static_cast<double>(leafCount)),
                       static_cast<float>(leaf->getLevel() / levels), 0.0f, 0.2f);
        if (VertexPtr parent = leaf->getParent()) frontier.push_back(parent->getId());
    }
    while (!frontier.empty()) {
        std::vector<uint32_t> next;
        for (uint32_t id : frontier) {
            VertexPtr vertex = g_graph->getVertex(id);
            float sum = 0.0f;
            for (const VertexPtr& child : vertex->getChildren()) {
                auto it = records.find(child->getId());
                if (it != records.end()) sum += it->second.x;
            }
            const float mean = sum / static_cast<float>(vertex->getChildCount());
            records[id] =
                makeRecord(mean, static_cast<float>(vertex->getLevel() / levels), 0.0f, 0.2f);
            if (VertexPtr parent = vertex->getParent()) next.push_back(parent->getId());
        }
        frontier = next;
    }
    return records;
}

Balloons ballonTree() {
    Balloons result;
    auto& balloons = result.balloons;
    const double r0 = 0.01f;
    const int levels = static_cast<int>(g_graph->depthCount());
    trace() << "Calculate Radius\n";
    for (const VertexPtr& leaf : g_graph->getLeaves()) {
        balloons.insert(
            {leaf->getId(), boost::make_shared<VertexBallon>(leaf, r0, r0, 6.28318 * r0, 0.0)});
    }
    for (int lvl = levels - 1; lvl >= 1; --lvl) {
        for (auto it = balloons.begin(); it != balloons.end(); ++it) {
            const VertexBallonPtr entry = it->second;
            if (entry->m_vertex->getLevel() != lvl) continue;
            VertexPtr parent = entry->m_vertex->getParent();
            auto found = balloons.find(parent->getId());
            if (found != balloons.end()) {
                found->second->m_perimeter += 2 * entry->m_radius;
            } else {
                balloons.insert({parent->getId(), boost::make_shared<VertexBallon>(
                                                      parent, 0.0, 0.0, 2 * entry->m_radius, 0.0)});
            }
        }
        for (auto& [id, entry] : balloons) {
            if (entry->m_vertex->getLevel() != lvl - 1) continue;
            const int c = static_cast<int>(entry->m_vertex->getChildCount());
            double u = entry->m_perimeter;
            if (c >= 1 && c <= 8) u += (10 - c) * 0.01;
            entry->m_innerRadius = u / 6.28318;
            double largest = 0.0;
            for (const VertexPtr& child : entry->m_vertex->getChildren()) {
                largest = std::max(largest, balloons[child->getId()]->m_radius);
            }
            entry->m_radius = entry->m_innerRadius + largest;
            entry->m_perimeter = 2 * entry->m_radius;
        }
    }

    trace() << "Calculate Angle\n";
    const VertexPtr root = g_graph->getRoot();
    balloons[root->getId()]->m_angle = 0;
    std::vector<VertexPtr> queue{root};
    while (!queue.empty()) {
        VertexPtr parent = queue.front();
        const int c = static_cast<int>(parent->getChildCount());
        if (c > 0) {
            double gap = 0;
            if (c >= 1 && c <= 9) {
                const double f = parent->getLevel() == levels - 2 ? 0.01 : 0.04;
                gap = (10 - c) * f / c;
            }
            const double ring = balloons[parent->getId()]->m_innerRadius;
            for (int k = 0; k < c; ++k) {
                const double rk = balloons[parent->getChild(k)->getId()]->m_innerRadius;
                const double rPrevious =
                    balloons[parent->getChild(k == 0 ? c - 1 : k - 1)->getId()]->m_innerRadius;
                balloons[parent->getChild(k)->getId()]->m_angle = (rk + gap + rPrevious) / ring;
                queue.push_back(parent->getChild(k));
            }
        }
        queue.erase(queue.begin());
    }

    trace() << "make it ready\n";
    auto& records = result.records;
    std::vector<VertexPtr> list{root};
    float s = 0;
    int counter = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        VertexPtr vertex = list[i];
        if (vertex->getLevel() != counter) {
            counter++;
            s = 0;
        }
        s += balloons[vertex->getId()]->m_angle;
        double bx = 0, by = -1, bz = 0, ox = 0, oy = 0, oz = 0;
        if (VertexPtr parent = vertex->getParent()) {
            LayoutRecord base = records[parent->getId()];
            bx = base.x;
            by = base.y;
            bz = base.z;
            const double rho = balloons[parent->getId()]->m_radius;
            const float degrees = s * 180.0f / 3.14159f;
            const double theta = degrees * (static_cast<double>(static_cast<float>(M_PI)) / 180.0);
            ox = -rho * std::sin(theta);
            oz = rho * std::cos(theta);
        }
        records[vertex->getId()] = makeRecord(
            static_cast<float>(bx + ox), static_cast<float>(by + oy + counter / double(levels)),
            static_cast<float>(bz + oz), 0.8f);
        for (const VertexPtr& child : vertex->getChildren()) list.push_back(child);
    }
    return result;
}

std::map<uint32_t, LayoutRecord> radialTree() {
    std::map<uint32_t, double> angles;
    std::vector<uint32_t> pending;
    const int levels = static_cast<int>(g_graph->depthCount());
    trace() << "Radialtree 0\n";
    const std::vector<VertexPtr> leaves = g_graph->getLeaves();
    const double step = 360.0 / leaves.size();
    double running = 0.0;
    for (const VertexPtr& leaf : leaves) {
        angles.insert({leaf->getId(), running});
        running += step;
        if (VertexPtr parent = leaf->getParent()) {
            if (std::find(pending.begin(), pending.end(), parent->getId()) == pending.end()) {
                pending.push_back(parent->getId());
            }
        }
    }
    trace() << "Radialtree 1\n";
    for (int lvl = levels - 2; lvl >= 1 && !pending.empty(); --lvl) {
        const size_t present = pending.size();
        for (size_t i = present; i-- > 0;) {
            VertexPtr vertex = g_graph->getVertex(pending[i]);
            if (vertex->getLevel() != lvl) continue;
            trace() << "begin\n";
            double sum = 0;
            for (const VertexPtr& child : vertex->getChildren()) {
                const float tmphelp = static_cast<float>(angles[child->getId()]);
                trace() << "tmphelp:" << tmphelp << '\n';
                sum += tmphelp;
            }
            const double mean = sum / vertex->getChildCount();
            trace() << "ANGLE:" << mean << '\n';
            VertexPtr parent = vertex->getParent();
            angles.insert({vertex->getId(), parent ? mean : 0.0});
            trace() << "before\n";
            if (parent &&
                std::find(pending.begin(), pending.end(), parent->getId()) == pending.end()) {
                pending.push_back(parent->getId());
            }
            trace() << "after\n";
            trace() << "ende\n";
        }
    }
    trace() << "Radialtree 2\n";
    std::map<uint32_t, LayoutRecord> records;
    std::vector<VertexPtr> list{g_graph->getRoot()};
    for (size_t i = 0; i < list.size(); ++i) {
        VertexPtr vertex = list[i];
        auto it = angles.find(vertex->getId());
        const float degrees = static_cast<float>(it == angles.end() ? 0.0 : it->second);
        const double theta = degrees * (static_cast<double>(static_cast<float>(M_PI)) / 180.0);
        const float rho = static_cast<float>(vertex->getLevel()) / static_cast<float>(levels);
        records[vertex->getId()] = makeRecord(static_cast<float>(rho * std::cos(theta)), 0.0f,
                                              static_cast<float>(rho * std::sin(theta)), 0.8f);
        for (const VertexPtr& child : vertex->getChildren()) list.push_back(child);
    }
    return records;
}

}  // namespace reference
