#pragma once

#include <tinyxml.h>

// Base of the XML reader: owns the document of the file being read.
class LoadData {
public:
    virtual ~LoadData();
    // Reads the recognised attributes of one element; depth is passed along for the reader.
    virtual void readAttributes(TiXmlElement* element, int depth) = 0;

protected:
    TiXmlDocument m_doc;
};
