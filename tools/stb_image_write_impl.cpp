// The PNG writer of the snapshot tool, compiled once.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
