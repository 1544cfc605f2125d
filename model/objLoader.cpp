// The building model: a growable named list, the OBJ/MTL reader and the display-list loader.
#include "model/objLoader.h"

#include "platform/StartupPhase.h"
#include "render/CTexture.h"

#include <GL/gl.h>
#include <algorithm>
#include <charconv>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Running out of memory while loading the model is not recoverable: say so and stop.
void* obj_alloc(size_t count, size_t size)
{
    void* const memory = std::calloc(count, size);
    if (memory == nullptr) {
        std::fprintf(stderr, "Out of memory: %zu elements of %zu bytes\n", count, size);
        std::exit(EXIT_FAILURE);
    }
    return memory;
}

template <typename T>
T* obj_new_array(size_t count)
{
    return static_cast<T*>(obj_alloc(count, sizeof(T)));
}

char* obj_copy_name(const char* name)
{
    const size_t length = std::strlen(name);
    char* const copy = obj_new_array<char>(length + 1);
    std::memcpy(copy, name, length + 1);
    return copy;
}

// Copies at most size - 1 characters, always terminated.
void obj_copy_text(char* destination, const char* source, size_t size)
{
    const size_t length = strnlen(source, size - 1);
    std::memcpy(destination, source, length);
    destination[length] = '\0';
}

bool lista_name_begins(const char* entry_name, const char* name)
{
    return entry_name != nullptr && std::strncmp(entry_name, name, std::strlen(name)) == 0;
}

// Deletes every matching entry; after a deletion the entry that moved down is examined next.
template <typename Match>
void lista_delete_where(lista* list, Match matches)
{
    int index = 0;
    while (index < list->count) {
        if (matches(index))
            lista_delete_index(list, index);
        else
            ++index;
    }
}

} // namespace

int strequal(const char* a, const char* b)
{
    return std::strcmp(a, b) == 0 ? 1 : 0;
}

int contains(const char* text, const char* part)
{
    return std::strstr(text, part) != nullptr ? 1 : 0;
}

void lista_make(lista* list, int size, char growable)
{
    const int slots = std::max(size, 1);
    list->count = 0;
    list->capacity = slots;
    list->growable = growable;
    list->items = obj_new_array<void*>(slots);
    list->names = obj_new_array<char*>(slots);
}

int lista_is_full(const lista* list)
{
    return list->count == list->capacity ? 1 : 0;
}

int lista_add_item(lista* list, void* item, const char* name)
{
    if (lista_is_full(list)) {
        if (!list->growable)
            return -1;
        lista_grow(list);
    }
    list->names[list->count] = name != nullptr ? obj_copy_name(name) : nullptr;
    list->items[list->count] = item;
    return list->count++;
}

void lista_grow(lista* list)
{
    const int capacity = list->capacity * 2;
    void** const items = obj_new_array<void*>(capacity);
    char** const names = obj_new_array<char*>(capacity);
    std::copy(list->items, list->items + list->count, items);
    std::copy(list->names, list->names + list->count, names);
    std::free(static_cast<void*>(list->items));
    std::free(static_cast<void*>(list->names));
    list->items = items;
    list->names = names;
    list->capacity = capacity;
}

void* lista_get_index(const lista* list, int index)
{
    return index >= 0 && index < list->count ? list->items[index] : nullptr;
}

void* lista_get_item(const lista* list, void* item)
{
    return std::find(list->items, list->items + list->count, item) != list->items + list->count
        ? item
        : nullptr;
}

void* lista_get_name(const lista* list, const char* name)
{
    return lista_get_index(list, lista_find(list, name));
}

int lista_find(const lista* list, const char* name)
{
    if (name == nullptr)
        return -1;
    for (int index = 0; index < list->count; ++index) {
        if (lista_name_begins(list->names[index], name))
            return index;
    }
    return -1;
}

void lista_delete_index(lista* list, int index)
{
    if (index < 0 || index >= list->count)
        return;
    std::free(list->names[index]);
    std::copy(list->items + index + 1, list->items + list->count, list->items + index);
    std::copy(list->names + index + 1, list->names + list->count, list->names + index);
    --list->count;
}

void lista_delete_name(lista* list, const char* name)
{
    if (name == nullptr)
        return;
    lista_delete_where(list, [&](int index) { return lista_name_begins(list->names[index], name); });
}

void lista_delete_item(lista* list, void* item)
{
    lista_delete_where(list, [&](int index) { return list->items[index] == item; });
}

void lista_delete_all(lista* list)
{
    for (int index = list->count - 1; index >= 0; --index)
        lista_delete_index(list, index);
}

void lista_free(lista* list)
{
    lista_delete_all(list);
    std::free(static_cast<void*>(list->names));
    std::free(static_cast<void*>(list->items));
    list->names = nullptr;
    list->items = nullptr;
}

int lista_print_items(const lista* list)
{
    for (int index = 0; index < list->count; ++index)
        std::printf("%s\n", list->names[index] != nullptr ? list->names[index] : "");
    return 0;
}

void lista_print_lista(const lista* list)
{
    std::printf("count: %i/%i\n", list->count, list->capacity);
    for (int index = 0; index < list->count; ++index)
        std::printf("lista[%i]: %s\n", index, list->names[index] != nullptr ? list->names[index] : "");
}

// ---- OBJ and MTL reader --------------------------------------------------------------

namespace {

const char* const LINE_SET = " \t\n\r";
const char* const BLANK_SET = " \t";

// The one tokenizer state of the reader, shared by the OBJ and the MTL pass.
char* token_rest = nullptr;

// Works as strtok: a non-null text starts a line, null goes on with it; null once no token is left.
char* obj_token(char* text, const char* delimiters)
{
    char* start = text != nullptr ? text : token_rest;
    if (start == nullptr)
        return nullptr;
    start += std::strspn(start, delimiters);
    if (*start == '\0') {
        token_rest = nullptr;
        return nullptr;
    }
    char* const end = start + std::strcspn(start, delimiters);
    token_rest = *end != '\0' ? end + 1 : nullptr;
    *end = '\0';
    return start;
}

// Forgets the rest of the line: its buffer goes out of scope with the reading function.
void obj_token_done()
{
    token_rest = nullptr;
}

// Operands that a line lacks read as 0 or as an empty name.
double obj_read_number(const char* delimiters)
{
    const char* const token = obj_token(nullptr, delimiters);
    return token != nullptr ? std::atof(token) : 0.0;
}

const char* obj_read_name(const char* delimiters)
{
    const char* const token = obj_token(nullptr, delimiters);
    return token != nullptr ? token : "";
}

// As atoi, but a number beyond the range of int is held at its nearest end. Written out:
// strtol's general machinery took more of the reader's time than any other single call.
int obj_read_int(const char* text)
{
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    // Held one past INT_MAX, which is exactly INT_MIN once negated.
    const long long limit = INT_MAX + 1LL;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = std::min(value * 10 + (*text - '0'), limit);
    return static_cast<int>(negative ? -value : std::min<long long>(value, INT_MAX));
}

FILE* obj_open(const char* filename)
{
    FILE* const file = std::fopen(filename, "r");
    if (file == nullptr)
        std::fprintf(stderr, "Error reading file: %s\n", filename);
    return file;
}

// Copies as much of text as fits before limit; gives the end of the copy.
char* obj_append(char* end, const char* limit, const char* text)
{
    const size_t length = strnlen(text, static_cast<size_t>(limit - end));
    std::memcpy(end, text, length);
    return end + length;
}

// The text of printf("'%s' in scene code at line %i: \"%s\".\n") put together by hand and
// written in one call: reading that format afresh for every line was a quarter of the
// reader's time. The keyword lies inside the line, so the buffer holds both whole.
void obj_print_trace(const char* keyword, int line_number, const char* line)
{
    char text[2 * OBJ_LINE_SIZE + 64];
    const char* const limit = text + sizeof text;
    char* end = obj_append(text, limit, "'");
    end = obj_append(end, limit, keyword);
    end = obj_append(end, limit, "' in scene code at line ");
    end = std::to_chars(end, text + sizeof text, line_number).ptr;
    end = obj_append(end, limit, ": \"");
    end = obj_append(end, limit, line);
    end = obj_append(end, limit, "\".\n");
    std::fwrite(text, 1, static_cast<size_t>(end - text), stdout);
}

void obj_parse_corner(const char* token, int* vertex, int* texcoord, int* normal)
{
    *texcoord = 0;
    *normal = 0;
    *vertex = obj_read_int(token);
    const char* const slash = std::strchr(token, '/');
    if (contains(token, "//")) {
        *normal = obj_read_int(slash + 2);
        return;
    }
    if (slash == nullptr)
        return;
    *texcoord = obj_read_int(slash + 1);
    const char* const second = std::strchr(slash + 1, '/');
    if (second != nullptr)
        *normal = obj_read_int(second + 1);
}

void obj_release_materials(lista* materials)
{
    for (int index = 0; index < materials->count; ++index)
        std::free(materials->items[index]);
    lista_free(materials);
}

obj_material* obj_add_material(lista* materials)
{
    obj_material* const material = obj_new_array<obj_material>(1);
    obj_set_material_defaults(material);
    // A name too long for the field is cut, and the list's lookup copy is made from the cut name.
    obj_copy_text(material->name, obj_read_name(BLANK_SET), MATERIAL_NAME_SIZE);
    lista_add_item(materials, material, material->name);
    return material;
}

float* obj_colour_field(obj_material* material, const char* keyword)
{
    if (strequal(keyword, "Ka"))
        return material->ambient;
    if (strequal(keyword, "Kd"))
        return material->diffuse;
    if (strequal(keyword, "Ks"))
        return material->specular;
    return nullptr;
}

double* obj_value_field(obj_material* material, const char* keyword)
{
    if (strequal(keyword, "Ns"))
        return &material->shininess;
    if (strequal(keyword, "d"))
        return &material->dissolve;
    if (strequal(keyword, "r"))
        return &material->reflectivity;
    if (strequal(keyword, "sharpness"))
        return &material->sharpness;
    if (strequal(keyword, "Ni"))
        return &material->optical_density;
    return nullptr;
}

// False for a keyword that is no material property.
bool obj_parse_material_property(obj_material* material, const char* keyword)
{
    if (float* const colour = obj_colour_field(material, keyword)) {
        for (int component = 0; component < 3; ++component)
            colour[component] = static_cast<float>(obj_read_number(BLANK_SET));
        return true;
    }
    if (double* const value = obj_value_field(material, keyword)) {
        *value = obj_read_number(BLANK_SET);
        return true;
    }
    if (strequal(keyword, "map_Ka") || strequal(keyword, "map_Kd")) {
        obj_copy_text(material->texture_file, obj_read_name(LINE_SET), OBJ_FILENAME_LENGTH);
        return true;
    }
    return strequal(keyword, "illum");
}

// One MTL line whose keyword has been taken; properties go to the open material, if any.
// False for a keyword that is neither "newmtl" nor a property of an open material.
bool obj_parse_mtl_line(lista* materials, obj_material** open, const char* keyword)
{
    if (!strequal(keyword, "newmtl"))
        return *open != nullptr && obj_parse_material_property(*open, keyword);
    *open = obj_add_material(materials);
    return true;
}

void obj_add_face(obj_growable_scene_data* growable, int material)
{
    obj_facet* const facet = obj_parse_face(growable);
    facet->material = material;
    lista_add_item(&growable->facets, facet, nullptr);
}

void obj_read_material_library(obj_growable_scene_data* growable)
{
    obj_copy_text(growable->material_file, obj_read_name(LINE_SET), OBJ_FILENAME_LENGTH);
    obj_parse_mtl_file(growable->material_file, &growable->materials);
}

// False for a keyword the OBJ reader does not know.
// The scene's lists are growable (obj_init_temp_storage), so lista_add_item keeps every item
// added here; the analyzer follows its full-list branch, which only a fixed-size list takes.
// NOLINTBEGIN(clang-analyzer-unix.Malloc)
bool obj_parse_obj_line(obj_growable_scene_data* growable, const char* keyword, int* current_material)
{
    if (strequal(keyword, "v"))
        lista_add_item(&growable->vertices, obj_parse_vector(), nullptr);
    else if (strequal(keyword, "vn"))
        lista_add_item(&growable->normals, obj_parse_vector(), nullptr);
    else if (strequal(keyword, "vt"))
        lista_add_item(&growable->texcoords, obj_parse_vector2(), nullptr);
    else if (strequal(keyword, "f"))
        obj_add_face(growable, *current_material);
    else if (strequal(keyword, "usemtl"))
        *current_material = lista_find(&growable->materials, obj_read_name(LINE_SET));
    else if (strequal(keyword, "mtllib"))
        obj_read_material_library(growable);
    else
        return strequal(keyword, "o") || strequal(keyword, "s") || strequal(keyword, "g");
    return true;
}
// NOLINTEND(clang-analyzer-unix.Malloc)

void obj_each_list(obj_growable_scene_data* growable, void (*action)(lista*))
{
    lista* const lists[] = {&growable->vertices, &growable->normals, &growable->texcoords,
                            &growable->facets, &growable->materials};
    for (lista* const list : lists)
        action(list);
}

template <typename T>
void obj_free_array(T** array, int count)
{
    for (int index = 0; index < count; ++index)
        std::free(array[index]);
    std::free(static_cast<void*>(array));
}

} // namespace

int obj_convert_to_lista_index(int current_count, int index)
{
    if (index > 0)
        return index - 1;
    if (index < 0)
        return current_count + index;
    return -1;
}

void obj_convert_to_lista_index_v(int current_count, int* indices)
{
    for (int corner = 0; corner < MAX_VERTEX_COUNT; ++corner)
        indices[corner] = obj_convert_to_lista_index(current_count, indices[corner]);
}

// Corners past the fourth are ignored: the face record has room for four.
int obj_parse_vertex_index(int* vertex, int* texcoord, int* normal)
{
    int corners = 0;
    const char* token = nullptr;
    while (corners < MAX_VERTEX_COUNT && (token = obj_token(nullptr, LINE_SET)) != nullptr) {
        obj_parse_corner(token, &vertex[corners], &texcoord[corners], &normal[corners]);
        ++corners;
    }
    return corners;
}

obj_facet* obj_parse_face(const obj_growable_scene_data* growable)
{
    // Zeroed, so the slots of corners that the line lacks convert to -1 like absent indices.
    obj_facet* const facet = obj_new_array<obj_facet>(1);
    facet->corner_count = obj_parse_vertex_index(facet->vertex, facet->texcoord, facet->normal);
    obj_convert_to_lista_index_v(growable->vertices.count, facet->vertex);
    obj_convert_to_lista_index_v(growable->texcoords.count, facet->texcoord);
    obj_convert_to_lista_index_v(growable->normals.count, facet->normal);
    return facet;
}

obj_vec3* obj_parse_vector()
{
    obj_vec3* const vector = obj_new_array<obj_vec3>(1);
    vector->x = obj_read_number(LINE_SET);
    vector->y = obj_read_number(LINE_SET);
    vector->z = obj_read_number(LINE_SET);
    return vector;
}

obj_vec2* obj_parse_vector2()
{
    obj_vec2* const vector = obj_new_array<obj_vec2>(1);
    vector->u = obj_read_number(LINE_SET);
    vector->v = obj_read_number(LINE_SET);
    return vector;
}

void obj_set_material_defaults(obj_material* material)
{
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    const float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    const float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    material->texture_file[0] = '\0';
    std::copy(ambient, ambient + 4, material->ambient);
    std::copy(diffuse, diffuse + 4, material->diffuse);
    std::copy(specular, specular + 4, material->specular);
    material->reflectivity = 0.0;
    material->dissolve = 1.0;
    material->shininess = 0.0;
    material->sharpness = 98.0;
    material->optical_density = 1.0;
}

int obj_parse_mtl_file(const char* filename, lista* materials)
{
    std::printf("%s\n", filename);
    FILE* const file = obj_open(filename);
    if (file == nullptr)
        return 0;
    obj_release_materials(materials);
    lista_make(materials, 10, 1);
    obj_material* open = nullptr;
    int line_number = 0;
    char line[OBJ_LINE_SIZE];
    while (std::fgets(line, OBJ_LINE_SIZE, file) != nullptr) {
        const char* const keyword = obj_token(line, LINE_SET);
        ++line_number;
        if (keyword == nullptr || strequal(keyword, "#") || strequal(keyword, "//"))
            continue;
        if (!obj_parse_mtl_line(materials, &open, keyword))
            std::fprintf(stderr, "Unknown command '%s' in material file %s at line %i:\n\t%s\n",
                         keyword, filename, line_number, line);
    }
    obj_token_done();
    std::fclose(file);
    return 1;
}

int obj_parse_obj_file(obj_growable_scene_data* growable, const char* filename)
{
    std::printf("Loading %s\n", filename);
    FILE* const file = obj_open(filename);
    if (file == nullptr)
        return 0;
    int current_material = -1;
    int line_number = 0;
    char line[OBJ_LINE_SIZE];
    while (std::fgets(line, OBJ_LINE_SIZE, file) != nullptr) {
        const char* const keyword = obj_token(line, LINE_SET);
        ++line_number;
        obj_print_trace(keyword != nullptr ? keyword : "", line_number, line);
        if (keyword == nullptr || keyword[0] == '#')
            continue;
        if (!obj_parse_obj_line(growable, keyword, &current_material))
            std::printf("Unknown command '%s' in scene code at line %i: \"%s\".\n", keyword,
                        line_number, line);
    }
    obj_token_done();
    std::fclose(file);
    return 1;
}

void obj_init_temp_storage(obj_growable_scene_data* growable)
{
    growable->material_file[0] = '\0';
    obj_each_list(growable, [](lista* list) { lista_make(list, 10, 1); });
}

void obj_copy_to_out_storage(obj_scene_data* data, const obj_growable_scene_data* growable)
{
    data->n_vertices = growable->vertices.count;
    data->n_normals = growable->normals.count;
    data->n_texcoords = growable->texcoords.count;
    data->n_facets = growable->facets.count;
    data->n_materials = growable->materials.count;
    data->vertices = reinterpret_cast<obj_vec3**>(growable->vertices.items);
    data->normals = reinterpret_cast<obj_vec3**>(growable->normals.items);
    data->texcoords = reinterpret_cast<obj_vec2**>(growable->texcoords.items);
    data->facets = reinterpret_cast<obj_facet**>(growable->facets.items);
    data->materials = reinterpret_cast<obj_material**>(growable->materials.items);
}

void obj_free_half_lista(lista* list)
{
    lista_delete_all(list);
    std::free(static_cast<void*>(list->names));
    list->names = nullptr;
}

void obj_free_temp_storage(obj_growable_scene_data* growable)
{
    obj_each_list(growable, obj_free_half_lista);
}

int parse_obj_scene(obj_scene_data* data, const char* filename)
{
    obj_growable_scene_data growable;
    obj_init_temp_storage(&growable);
    if (!obj_parse_obj_file(&growable, filename)) {
        // The file never opened, so the lists are still empty.
        obj_each_list(&growable, lista_free);
        return 0;
    }
    obj_copy_to_out_storage(data, &growable);
    obj_free_temp_storage(&growable);
    return 1;
}

void delete_obj_data(obj_scene_data* data)
{
    obj_free_array(data->vertices, data->n_vertices);
    obj_free_array(data->normals, data->n_normals);
    obj_free_array(data->texcoords, data->n_texcoords);
    obj_free_array(data->facets, data->n_facets);
    obj_free_array(data->materials, data->n_materials);
}

// ---- Loader --------------------------------------------------------------------------

namespace {

// One corner as drawn: an absent or out-of-range texture coordinate reads as (0, 0),
// an absent or out-of-range normal as (0, 0, 0).
struct Corner {
    obj_vec3 position;
    obj_vec2 texcoord;
    obj_vec3 normal;
};

bool in_range(int index, int count)
{
    return index >= 0 && index < count;
}

// A face is drawn as the triangle of its first three corners, which must all have a position.
bool facet_is_drawable(const objLoader& model, const obj_facet& facet)
{
    if (facet.corner_count < 3)
        return false;
    for (int corner = 0; corner < 3; ++corner) {
        if (!in_range(facet.vertex[corner], model.vertexCount))
            return false;
    }
    return true;
}

Corner corner_of(const objLoader& model, const obj_facet& facet, int corner)
{
    Corner result = {*model.vertices[facet.vertex[corner]], {0.0, 0.0}, {0.0, 0.0, 0.0}};
    if (in_range(facet.texcoord[corner], model.texcoordCount))
        result.texcoord = *model.texcoords[facet.texcoord[corner]];
    if (in_range(facet.normal[corner], model.normalCount))
        result.normal = *model.normals[facet.normal[corner]];
    return result;
}

void print_counts(const obj_scene_data& scene)
{
    std::printf("Number of vertices: %i\n", scene.n_vertices);
    std::printf("Number of vertex normals: %i\n", scene.n_normals);
    std::printf("Number of texture coordinates: %i\n", scene.n_texcoords);
    std::printf("Number of faces: %i\n", scene.n_facets);
}

// Calls action(face index, corner) for corners 0, 1 and 2 of every face that is drawn.
template <typename Action>
void each_drawn_corner(const objLoader& model, Action action)
{
    for (int index = 0; index < model.facetCount; ++index) {
        const obj_facet& facet = *model.facets[index];
        if (!facet_is_drawable(model, facet))
            continue;
        for (int corner = 0; corner < 3; ++corner)
            action(index, corner_of(model, facet, corner));
    }
}

void print_facets(const objLoader& model)
{
    each_drawn_corner(model, [](int index, const Corner& c) {
        std::printf("face %i: v(%f,%f,%f), vt(%f, %f), n(%f,%f,%f)\n", index, c.position.x,
                    c.position.y, c.position.z, c.texcoord.u, c.texcoord.v, c.normal.x,
                    c.normal.y, c.normal.z);
    });
}

void emit_facets(const objLoader& model)
{
    each_drawn_corner(model, [](int, const Corner& c) {
        glNormal3d(c.normal.x, c.normal.y, c.normal.z);
        glTexCoord2d(c.texcoord.u, c.texcoord.v);
        glVertex3d(c.position.x, c.position.y, c.position.z);
    });
}

} // namespace

int objLoader::load(const char* filename)
{
    const StartupPhase phase("model");
    displayList = 0;
    if (!parse_obj_scene(&scene, filename)) {
        std::printf("\nERRORORORr!!!!\n\n");
        return 0;
    }
    print_counts(scene);
    vertexCount = scene.n_vertices;
    normalCount = scene.n_normals;
    texcoordCount = scene.n_texcoords;
    facetCount = scene.n_facets;
    materialCount = scene.n_materials;
    vertices = scene.vertices;
    normals = scene.normals;
    texcoords = scene.texcoords;
    facets = scene.facets;
    materials = scene.materials;
    // The whole model wears the first material's texture; a model without one has none.
    textureSlot = 0;
    textures[textureSlot] = materialCount > 0 ? new CTexture(materials[0]->texture_file) : nullptr;
    print_facets(*this);

    displayList = glGenLists(1);
    glNewList(displayList, GL_COMPILE);
    glEnable(GL_TEXTURE_2D);
    if (textures[textureSlot] != nullptr)
        textures[textureSlot]->Use();
    else
        glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_TRIANGLES);
    emit_facets(*this);
    glEnd();
    glEndList();
    return 1;
}

void objLoader::Draw()
{
    // A failed load leaves no list to call.
    if (displayList != 0)
        glCallList(displayList);
}
