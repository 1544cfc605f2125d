// The building model: a growable named list, the OBJ/MTL reader and the display-list loader.
#pragma once

class CTexture;

// ---- Growable named list -------------------------------------------------------------

// An ordered list of untyped items, each with an optional name the list keeps a copy of.
// The list owns its arrays and the name copies, never the items.
struct lista {
    int count;
    int capacity;
    char growable;
    void** items;
    char** names;
};

int strequal(const char* a, const char* b);
int contains(const char* text, const char* part);

// A size below 1 makes a list of one slot, so that doubling can always enlarge it.
void lista_make(lista* list, int size, char growable);
int lista_is_full(const lista* list);
// The new entry's index, or -1 when the list is full and not growable.
int lista_add_item(lista* list, void* item, const char* name);
void lista_grow(lista* list);
// Null for an index outside 0 .. count - 1.
void* lista_get_index(const lista* list, int index);
void* lista_get_item(const lista* list, void* item);
// Name lookups match the first entry whose name begins with `name`; unnamed entries never match.
void* lista_get_name(const lista* list, const char* name);
int lista_find(const lista* list, const char* name);
// An index outside 0 .. count - 1 deletes nothing.
void lista_delete_index(lista* list, int index);
void lista_delete_name(lista* list, const char* name);
void lista_delete_item(lista* list, void* item);
void lista_delete_all(lista* list);
void lista_free(lista* list);
// Unnamed entries print as an empty name.
int lista_print_items(const lista* list);
void lista_print_lista(const lista* list);

// ---- OBJ and MTL reader --------------------------------------------------------------

constexpr int OBJ_LINE_SIZE = 500;
constexpr int OBJ_FILENAME_LENGTH = 500;
constexpr int MATERIAL_NAME_SIZE = 255;
constexpr int MAX_VERTEX_COUNT = 4;

struct obj_vec3 {
    double x, y, z;
};

struct obj_vec2 {
    double u, v;
};

// Indices are list positions; -1 marks an absent index. Entries past corner_count are -1.
struct obj_facet {
    int vertex[MAX_VERTEX_COUNT];
    int normal[MAX_VERTEX_COUNT];
    int texcoord[MAX_VERTEX_COUNT];
    int corner_count;
    int material;
};

struct obj_material {
    char name[MATERIAL_NAME_SIZE];
    char texture_file[OBJ_FILENAME_LENGTH];
    float ambient[4];
    float diffuse[4];
    float specular[4];
    double reflectivity;
    double dissolve;
    double shininess;
    double sharpness;
    double optical_density;
};

struct obj_growable_scene_data {
    char material_file[OBJ_FILENAME_LENGTH];
    lista vertices;
    lista normals;
    lista texcoords;
    lista facets;
    lista materials;
};

// Each array may have more slots than its count; the record owns the arrays and their elements.
struct obj_scene_data {
    obj_vec3** vertices;
    obj_vec3** normals;
    obj_vec2** texcoords;
    obj_facet** facets;
    obj_material** materials;
    int n_vertices;
    int n_normals;
    int n_texcoords;
    int n_facets;
    int n_materials;
};

// 1 when the model was read into `data`; 0 when the OBJ file cannot be opened (`data` untouched).
int parse_obj_scene(obj_scene_data* data, const char* filename);
void delete_obj_data(obj_scene_data* data);

int obj_parse_obj_file(obj_growable_scene_data* growable, const char* filename);
// `materials` must be a made list; on success its old materials are released and replaced.
int obj_parse_mtl_file(const char* filename, lista* materials);

// These read the rest of the line whose keyword was taken last.
obj_facet* obj_parse_face(const obj_growable_scene_data* growable);
int obj_parse_vertex_index(int* vertex, int* texcoord, int* normal);
obj_vec3* obj_parse_vector();
obj_vec2* obj_parse_vector2();

int obj_convert_to_lista_index(int current_count, int index);
void obj_convert_to_lista_index_v(int current_count, int* indices);
void obj_set_material_defaults(obj_material* material);

void obj_init_temp_storage(obj_growable_scene_data* growable);
void obj_copy_to_out_storage(obj_scene_data* data, const obj_growable_scene_data* growable);
void obj_free_temp_storage(obj_growable_scene_data* growable);
void obj_free_half_lista(lista* list);

// ---- Loader --------------------------------------------------------------------------

// Compiles one OBJ model into a display list and replays it. Made with a plain `new`;
// nothing has a value until load, which sets displayList to 0 first.
class objLoader {
public:
    int load(const char* filename);
    void Draw();

    obj_vec3** vertices;
    obj_vec3** normals;
    obj_vec2** texcoords;
    obj_facet** facets;
    obj_material** materials;
    int vertexCount;
    int normalCount;
    int texcoordCount;
    int facetCount;
    int materialCount;
    int textureSlot;
    unsigned int displayList;
    obj_scene_data scene;
    CTexture* textures[10];
};
