#include "Vertex.h"

Vertex::Vertex(uint32_t id, const std::string& name) : m_id(id), m_name(name) {}
