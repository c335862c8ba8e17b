#include "GlName.h"

GlName& GlName::operator=(GlName&& other) noexcept {
    if (this != &other) {
        reset();
        m_kind = other.m_kind;
        m_name = other.m_name;
        m_count = other.m_count;
        other.m_name = 0;
    }
    return *this;
}

void GlName::reset() {
    if (m_name == 0) return;
    switch (m_kind) {
        case Kind::PROGRAM:
            glDeleteProgram(m_name);
            break;
        case Kind::SHADER:
            glDeleteShader(m_name);
            break;
        case Kind::BUFFER:
            glDeleteBuffers(1, &m_name);
            break;
        case Kind::TEXTURE:
            glDeleteTextures(1, &m_name);
            break;
        case Kind::FRAMEBUFFER:
            glDeleteFramebuffers(1, &m_name);
            break;
        case Kind::RENDERBUFFER:
            glDeleteRenderbuffers(1, &m_name);
            break;
        case Kind::DISPLAY_LISTS:
            glDeleteLists(m_name, m_count);
            break;
    }
    m_name = 0;
}
