#include "Vertex.h"

#include <utility>

Vertex::Vertex(uint32_t id, const std::string& name) : m_id(id), m_name(name) {}

Vertex::~Vertex() {
    // A child held only by this list would die here and free its own children from inside its
    // destructor, and so on down the tree. Instead, a child about to die hands its children to
    // this loop first, so every destructor below finds an empty list.
    std::vector<boost::shared_ptr<Vertex>> dying = std::move(m_children);
    while (!dying.empty()) {
        boost::shared_ptr<Vertex> vertex = std::move(dying.back());
        dying.pop_back();
        if (vertex.use_count() == 1) {
            for (auto& child : vertex->m_children) dying.push_back(std::move(child));
            vertex->m_children.clear();
        }
    }
}
