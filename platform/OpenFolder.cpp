#include "OpenFolder.h"

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {

OpenFolder::~OpenFolder() { close(); }

void OpenFolder::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

int OpenFolder::descriptorOf(std::string_view folder)
{
    if (m_fd >= 0 && folder == m_folder) return m_fd;
    close();
    m_folder.assign(folder);
    // Only a place to open names in: nothing is read through it.
    m_fd = ::open(m_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return m_fd;
}

}  // namespace tarnwick
