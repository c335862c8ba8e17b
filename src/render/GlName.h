#pragma once

#include <GL/glew.h>

// One GL object (or a range of display lists) and the call that frees it: freed when the holder
// goes, so that an object lives exactly as long as its owner. The context the object was made in
// must be current then; a holder of name 0 frees nothing.
class GlName {
public:
    enum class Kind { PROGRAM, SHADER, BUFFER, TEXTURE, FRAMEBUFFER, RENDERBUFFER, DISPLAY_LISTS };

    GlName() = default;
    // count: the length of a range of display lists; 1 for every other kind.
    GlName(Kind kind, GLuint name, GLsizei count = 1)
        : m_kind(kind), m_name(name), m_count(count) {}
    ~GlName() { reset(); }
    GlName(GlName&& other) noexcept { *this = static_cast<GlName&&>(other); }
    GlName& operator=(GlName&& other) noexcept;
    GlName(const GlName&) = delete;
    GlName& operator=(const GlName&) = delete;

    GLuint get() const { return m_name; }
    Kind kind() const { return m_kind; }
    // Frees the object now; the holder holds nothing after.
    void reset();

private:
    Kind m_kind = Kind::BUFFER;
    GLuint m_name = 0;
    GLsizei m_count = 1;
};
